#include "data/SettingsFile.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

struct ParseCase {
    const char* Name;
    std::string Text;
    const char* Key;
    std::optional<std::string> Value;  // nullopt: the key is absent
    int Line;
    size_t Notes;
};

TEST(SettingsFile, ReadsKeysValuesCommentsAndStrayLines)
{
    const ParseCase cases[] = {
        {"plain", "volume = 70\n", "volume", "70", 1, 0},
        {"no spaces, no final line feed", "volume=70", "volume", "70", 1, 0},
        {"spaces and tabs around", " \tvolume \t=\t 70 \t\n", "volume", "70", 1, 0},
        {"CRLF line ends", "# c\r\nvolume = 70\r\n", "volume", "70", 2, 0},
        {"the last of two lines wins", "volume = 10\nvolume = 20\n", "volume", "20", 2, 0},
        {"'=' inside the value", "name = a=b\n", "name", "a=b", 1, 0},
        {"comments are no keys", "# volume = 10\n; volume = 20\n", "volume", std::nullopt, 0, 0},
        {"a line without '='", "volume 70\n", "volume", std::nullopt, 0, 1},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const SettingsParseResult parsed = SettingsFile::Parse(c.Text);
        ASSERT_TRUE(parsed.File.has_value()) << parsed.Error;
        EXPECT_EQ(parsed.Notes.size(), c.Notes);
        const auto entry = parsed.File->Get(c.Key);
        ASSERT_EQ(entry.has_value(), c.Value.has_value());
        if (!entry) continue;
        EXPECT_EQ(entry->Value, *c.Value);
        EXPECT_EQ(entry->Line, c.Line);
    }
}

TEST(SettingsFile, RefusesBinaryAndOversizedText)
{
    const std::pair<std::string, const char*> cases[] = {
        {std::string("volume = 7\nab\0cd\n", 17), "line 2: binary data, not text"},
        {"\x7F"
         "ELF\x02\x01",
         "line 1: binary data, not text"},
        {"volume = 70\n\x1b[31m\n", "line 2: binary data, not text"},
        {std::string(SettingsFile::kMaxBytes + 1, 'a'), "larger than 64 KiB"},
    };
    for (const auto& [text, error] : cases) {
        const SettingsParseResult parsed = SettingsFile::Parse(text);
        EXPECT_FALSE(parsed.File.has_value());
        EXPECT_EQ(parsed.Error, error);
    }
    EXPECT_TRUE(SettingsFile::Parse(std::string(SettingsFile::kMaxBytes, '#')).File.has_value())
        << "exactly at the limit";
}

TEST(SettingsFile, SettingRewritesOnlyItsLineAndKeepsEverythingElse)
{
    const std::string text =
        "# my settings\r\n"
        "volume = 70   \n"
        "\n"
        "frobnicate = yes\n"
        "stray line\n"
        "volume=80\n";
    SettingsFile file = *SettingsFile::Parse(text).File;
    file.Set("volume", "30");
    file.Set("mute", "true");
    EXPECT_EQ(file.Text(),
              "# my settings\n"
              "volume = 70   \n"
              "\n"
              "frobnicate = yes\n"
              "stray line\n"
              "volume = 30\n"
              "mute = true\n");
    // What is written reads back the same.
    const SettingsFile again = *SettingsFile::Parse(file.Text()).File;
    EXPECT_EQ(again.Text(), file.Text());
    EXPECT_EQ(again.Get("mute")->Value, "true");
}

}  // namespace
}  // namespace kelva
