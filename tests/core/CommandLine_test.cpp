#include "core/CommandLine.h"

#include <gtest/gtest.h>

namespace kelva {
namespace {

TEST(CommandLine, ReadsArgumentsByTheirFirstCharacter)
{
    const CommandLine line = ParseCommandLine({"*/games/story", "story.kne", "/debug", "=saves.knb"});
    EXPECT_EQ(line.DataFolder, "/games/story");
    EXPECT_EQ(line.NovelFile, "story.kne");
    EXPECT_EQ(line.BookmarkFile, "saves.knb");
    EXPECT_TRUE(line.DebugMode);  // switches compare after upper-casing
    EXPECT_FALSE(line.SilhouetteMode);
    EXPECT_TRUE(line.Error.empty());
}

TEST(CommandLine, SwitchesMatchWholeWordsAndUnknownOnesAreIgnored)
{
    const CommandLine line = ParseCommandLine({"/16", "/Silhouette", "/DEBUGX", "/WHATEVER"});
    EXPECT_TRUE(line.Only16BitDisplay);
    EXPECT_TRUE(line.SilhouetteMode);
    EXPECT_FALSE(line.DebugMode);
    EXPECT_TRUE(line.NovelFile.empty());
}

TEST(CommandLine, AbsolutePathsAreNovelFilesNotSwitches)
{
    EXPECT_EQ(ParseCommandLine({"/home/me/story.kne"}).NovelFile, "/home/me/story.kne");
    EXPECT_EQ(ParseCommandLine({"/story.kne"}).NovelFile, "/story.kne");
    const CommandLine line = ParseCommandLine({"/games/DEBUG"});
    EXPECT_FALSE(line.DebugMode);
    EXPECT_EQ(line.NovelFile, "/games/DEBUG");
    // One component after the root: a path when it exists, else a switch.
    EXPECT_EQ(ParseCommandLine({"/tmp"}).NovelFile, "/tmp");
    EXPECT_TRUE(ParseCommandLine({"/kelva-no-such-entry"}).NovelFile.empty());
}

TEST(CommandLine, TheLastNovelFileCounts)
{
    EXPECT_EQ(ParseCommandLine({"first.kne", "second.kne"}).NovelFile, "second.kne");
}

TEST(CommandLine, FolderAndBookmarkArgumentsAreCutAt255Bytes)
{
    const std::string longName(300, 'a');
    const CommandLine line = ParseCommandLine({"*" + longName, "=" + longName});
    EXPECT_EQ(line.DataFolder->size(), 255u);
    EXPECT_EQ(line.BookmarkFile->size(), 255u);
}

TEST(CommandLine, LongOptionsNeverBecomeTheNovelFile)
{
    const CommandLine line = ParseCommandLine(
        {"--replay", "events.txt", "--dump-dir=out", "--window", "story.kne", "--verbose", "--transcript", "t.txt"});
    EXPECT_EQ(line.ReplayFile, "events.txt");
    EXPECT_EQ(line.DumpDir, "out");
    EXPECT_EQ(line.TranscriptFile, "t.txt");
    EXPECT_EQ(line.FullScreen, false);
    EXPECT_TRUE(line.Verbose);
    EXPECT_EQ(line.NovelFile, "story.kne");
    EXPECT_EQ(ParseCommandLine({"--fullscreen"}).FullScreen, true);
    EXPECT_TRUE(ParseCommandLine({"--help"}).Help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).Version);
}

TEST(CommandLine, BadLongOptionsAreReported)
{
    EXPECT_NE(ParseCommandLine({"--colour"}).Error, "");
    EXPECT_NE(ParseCommandLine({"--replay"}).Error, "");  // value missing
    EXPECT_NE(ParseCommandLine({"--help=yes"}).Error, "");
}

}  // namespace
}  // namespace kelva
