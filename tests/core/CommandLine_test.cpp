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
    const CommandLine line = ParseCommandLine({"--replay", "events.txt", "--dump-dir=out", "--window",
                                               "story.kne", "--verbose", "--transcript", "t.txt"});
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
    const std::pair<const char*, std::optional<uint32_t>> cases[] = {
        {"--seed=7", 7u},          {"--seed=0", 0u},  {"--seed=4294967295", 4294967295u},
        {"--seed=4294967296", {}}, {"--seed=-1", {}}, {"--seed=+1", {}},
        {"--seed=12x", {}},        {"--seed= 1", {}}, {"--seed=", {}},
    };
    for (const auto& [option, seed] : cases) {
        const CommandLine line = ParseCommandLine({option, "story.kne"});
        EXPECT_EQ(line.Seed, seed) << option;
        EXPECT_EQ(line.Error.empty(), seed.has_value()) << option;
    }
}

TEST(CommandLine, WindowScalesAreWholeNumbersFrom1To16)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"--scale=1", 1},    {"--scale=3", 3},
        {"--scale=16", 16},  {"--scale=0", {}},
        {"--scale=17", {}},  {"--scale=-2", {}},
        {"--scale=2.5", {}}, {"--scale=x", {}},
        {"--scale=", {}},    {"--scale=99999999999", {}},
    };
    for (const auto& [option, scale] : cases) {
        const CommandLine line = ParseCommandLine({option, "story.kne"});
        EXPECT_EQ(line.Error.empty(), scale.has_value()) << option;
        EXPECT_EQ(line.Scale, scale.value_or(1)) << option;
    }
    EXPECT_EQ(ParseCommandLine({"--scale", "2"}).Scale, 2);
    EXPECT_NE(ParseCommandLine({"--scale=0"}).Error.find("from 1 to 16"), std::string::npos);
    EXPECT_TRUE(ParseCommandLine({"--smooth"}).Smooth);
    EXPECT_FALSE(ParseCommandLine({}).Smooth);
}

TEST(CommandLine, TheEnvironmentFillsOnlyWhatTheCommandLineLeftOpen)
{
    test::EnvironmentGuard environment;
    environment.Set("KELVA_REPLAY", "env-events.txt");
    environment.Set("KELVA_DUMP_DIR", "env-out");
    environment.Set("KELVA_TRANSCRIPT", std::nullopt);
    environment.Set("KELVA_REALTIME", std::nullopt);
    environment.Set("KELVA_CD_IMAGE", "env.cue");
    environment.Set("KELVA_SEED", std::nullopt);

    CommandLine given = ParseCommandLine({"--replay", "events.txt", "--cd-image", "disc.cue", "--seed", "9"});
    ApplyReplayEnvironment(given);
    EXPECT_EQ(given.ReplayFile, "events.txt");
    EXPECT_EQ(given.CdImage, "disc.cue");
    EXPECT_EQ(given.DumpDir, "env-out");
    EXPECT_EQ(given.TranscriptFile, "");
    EXPECT_EQ(given.Seed, 9u);

    // A packaged game reads no arguments. Its replay on the virtual clock, like any,
    // draws the fixed numbers unless given a seed; on the real clock, a seed from the time.
    CommandLine packaged;
    ApplyReplayEnvironment(packaged);
    EXPECT_EQ(packaged.ReplayFile, "env-events.txt");
    EXPECT_EQ(packaged.CdImage, "env.cue");
    EXPECT_EQ(packaged.Seed, kReplaySeed);
    environment.Set("KELVA_SEED", "42");
    packaged = CommandLine();
    ApplyReplayEnvironment(packaged);
    EXPECT_EQ(packaged.Seed, 42u);
    environment.Set("KELVA_SEED", std::nullopt);
    environment.Set("KELVA_REALTIME", "1");
    packaged = CommandLine();
    ApplyReplayEnvironment(packaged);
    EXPECT_TRUE(packaged.Realtime);
    EXPECT_EQ(packaged.Seed, std::nullopt);

    environment.Set("KELVA_SEED", "forty-two");
    CommandLine badSeed;
    ApplyReplayEnvironment(badSeed);
    EXPECT_NE(badSeed.Error, "");
}

}  // namespace
}  // namespace kelva
