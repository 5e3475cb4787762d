// The one table of keys: --help, the README and the F1 list all come from it.
#include "core/KeyHelp.h"

#include <gtest/gtest.h>

#include <sstream>

#include "core/CommandLine.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

TEST(KeyHelp, TheReadmeListsTheKeysAsHelpDoes)
{
    const std::vector<uint8_t> bytes = test::ReadBytes(std::string(KELVA_SOURCE_DIR) + "/README.md");
    const std::string readme(bytes.begin(), bytes.end());
    const std::string keys = KeyHelpUsage().substr(1);  // without the blank line before it
    EXPECT_NE(readme.find("## Keys"), std::string::npos);
    EXPECT_NE(readme.find("```\n" + keys + "```\n"), std::string::npos)
        << "README's key list differs from --help's:\n"
        << keys;
    EXPECT_NE(UsageText().find(keys), std::string::npos);
}

TEST(KeyHelp, HelpLinesFitATerminal)
{
    std::istringstream usage(UsageText());
    for (std::string line; std::getline(usage, line);) EXPECT_LE(line.size(), 80u) << line;
}

}  // namespace
}  // namespace kelva
