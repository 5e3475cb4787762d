#include <gtest/gtest.h>

#include "data/Crypt.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

int Knovel(const std::string& arguments)
{
    return test::RunKnovel(arguments + " 2>/dev/null").status;
}

TEST(KnovelCrypt, ScramblesAsThePlayerUnscramblesAndBack)
{
    test::TempDir dir;
    const std::vector<uint8_t> plain = test::NovelFileBytes(test::NovelParts());
    test::WriteBytes(dir.File("story.kne"), plain);
    ASSERT_EQ(Knovel("crypt " + dir.File("story.kne") + " " + dir.File("autorun.kne")), 0);

    MemoryStream scrambled(test::ReadBytes(dir.File("autorun.kne")));
    EXPECT_NE(scrambled.Bytes(), plain);
    EXPECT_EQ(CryptStream(scrambled)->Bytes(), plain);

    ASSERT_EQ(Knovel("crypt " + dir.File("autorun.kne") + " " + dir.File("again.kne")), 0);
    EXPECT_EQ(test::ReadBytes(dir.File("again.kne")), plain);
}

TEST(KnovelCrypt, FailuresLeaveNoOutput)
{
    test::TempDir dir;
    EXPECT_EQ(Knovel("crypt " + dir.File("absent") + " " + dir.File("out")), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out")));
    EXPECT_EQ(Knovel("crypt only-one-argument"), 1);
    EXPECT_EQ(Knovel("no-such-command"), 2);
}

}  // namespace
}  // namespace kelva
