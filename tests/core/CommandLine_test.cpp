#include "core/CommandLine.h"

#include <gtest/gtest.h>

#include "support/EnvironmentGuard.h"

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

TEST(CommandLine, SeedsAreWholeNumbersThatFit32Bits)
{
    EXPECT_EQ(ParseCommandLine({"--seed", "7"}).Seed, 7u);
    EXPECT_EQ(ParseCommandLine({"--seed=0"}).Seed, 0u);
    EXPECT_EQ(ParseCommandLine({"--seed=4294967295"}).Seed, 4294967295u);
    EXPECT_EQ(ParseCommandLine({"story.kne"}).Seed, std::nullopt);
    for (const char* bad : {"--seed=4294967296", "--seed=-1", "--seed=+1", "--seed=12x", "--seed= 1", "--seed="}) {
        const CommandLine line = ParseCommandLine({bad, "story.kne"});
        EXPECT_NE(line.Error, "") << bad;
        EXPECT_EQ(line.Seed, std::nullopt) << bad;
    }
}

TEST(CommandLine, TheEnvironmentFillsOnlyWhatTheCommandLineLeftOpen)
{
    test::EnvironmentGuard environment;
    environment.Set("KELVA_REPLAY", "env-events.txt");
    environment.Set("KELVA_DUMP_DIR", "env-out");
    environment.Set("KELVA_TRANSCRIPT", std::nullopt);
    environment.Set("KELVA_REALTIME", "1");
    environment.Set("KELVA_CD_IMAGE", "env.cue");
    environment.Set("KELVA_SEED", "42");

    CommandLine given = ParseCommandLine({"--replay", "events.txt", "--cd-image", "disc.cue"});
    ApplyReplayEnvironment(given);
    EXPECT_EQ(given.ReplayFile, "events.txt");
    EXPECT_EQ(given.CdImage, "disc.cue");
    EXPECT_EQ(given.DumpDir, "env-out");
    EXPECT_EQ(given.TranscriptFile, "");
    EXPECT_TRUE(given.Realtime);
    EXPECT_EQ(given.Seed, 42u);

    CommandLine packaged;  // a packaged game reads no arguments
    ApplyReplayEnvironment(packaged);
    EXPECT_EQ(packaged.ReplayFile, "env-events.txt");
    EXPECT_EQ(packaged.CdImage, "env.cue");

    environment.Set("KELVA_SEED", "forty-two");
    CommandLine badSeed;
    ApplyReplayEnvironment(badSeed);
    EXPECT_NE(badSeed.Error, "");
}

// Only a replay on the virtual clock without a seed of its own draws the fixed numbers.
TEST(CommandLine, AReplayOnTheVirtualClockGetsAFixedSeed)
{
    test::EnvironmentGuard environment;
    for (const char* variable : {"KELVA_REPLAY", "KELVA_REALTIME", "KELVA_SEED"}) environment.Set(variable, std::nullopt);
    const struct {
        std::vector<std::string> args;
        std::optional<uint32_t> seed;
    } cases[] = {
        {{"--replay", "e.txt"}, kReplaySeed},
        {{"--replay", "e.txt", "--seed", "9"}, 9u},
        {{"--replay", "e.txt", "--realtime"}, std::nullopt},
        {{"story.kne"}, std::nullopt},
        {{"--seed", "9"}, 9u},
    };
    for (const auto& c : cases) {
        CommandLine line = ParseCommandLine(c.args);
        ApplyReplayEnvironment(line);
        EXPECT_EQ(line.Seed, c.seed) << c.args[0] << " " << c.args.size();
        EXPECT_EQ(line.Error, "");
    }
}

}  // namespace
}  // namespace kelva
