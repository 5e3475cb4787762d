// Runs the built player as a reader would: real files, real process, headless.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "data/Crypt.h"
#include "data/PackageFile2.h"
#include "data/PackageWriter.h"
#include "platform/TextCodec.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;

using RunResult = test::CommandResult;

RunResult RunShell(const std::string& command)
{
    return test::RunCommand(command + " 2>&1");
}

// The player prints UTF-8; the literals here are CP932 like all of the engine's.
bool Shows(const RunResult& run, const std::string& text)
{
    return run.output.find(Cp932ToUtf8(text)) != std::string::npos;
}

class PlayerExecutableTest : public ::testing::Test {
protected:
    RunResult Player(const std::string& arguments)
    {
        return RunShell("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + std::string(KELVA_BIN_DIR) +
                        "/kelvanovelrun " + arguments);
    }

    std::string WriteReplay(const std::string& text)
    {
        const std::string path = dir.File("events.txt");
        test::WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
        return path;
    }

    test::TempDir dir;
};

TEST_F(PlayerExecutableTest, VersionAndHelpExitCleanly)
{
    const RunResult version = Player("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.output.find("R.9.2"), std::string::npos);
    const RunResult help = Player("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("/DEBUG"), std::string::npos);
    EXPECT_EQ(Player("--no-such-option").status, 2);
}

TEST_F(PlayerExecutableTest, StartUpFailuresAreReportedAndEndTheProgram)
{
    const RunResult missing = Player(dir.File("absent.kne"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Shows(missing, "Kelva! Novel Runtime: ファイル absent.kne を開けません。")) << missing.output;

    std::vector<uint8_t> bytes = test::NovelFileBytes(test::NovelParts());
    bytes[33] = 6;
    test::WriteBytes(dir.File("old.kne"), bytes);
    const RunResult old = Player(dir.File("old.kne"));
    EXPECT_EQ(old.status, 1);
    EXPECT_TRUE(Shows(old, "old.kne のファイルバージョンが違います。")) << old.output;
    EXPECT_TRUE(Shows(old, "R.9.2"));

    bytes = test::NovelFileBytes(test::NovelParts());
    bytes.resize(bytes.size() - 20);  // ends inside the item block
    test::WriteBytes(dir.File("cut.kne"), bytes);
    const RunResult cut = Player(dir.File("cut.kne"));
    EXPECT_EQ(cut.status, 1);
    EXPECT_TRUE(Shows(cut, "cut.kne を読み込めません。")) << cut.output;

    // A good story, but no display and no replay to stand in for the reader.
    test::WriteBytes(dir.File("story.kne"), test::NovelFileBytes(test::NovelParts()));
    const RunResult unseen = Player(dir.File("story.kne"));
    EXPECT_EQ(unseen.status, 2);
    EXPECT_NE(unseen.output.find("--replay"), std::string::npos) << unseen.output;
    EXPECT_NE(unseen.output.find("KELVA_REPLAY"), std::string::npos) << unseen.output;
}

TEST_F(PlayerExecutableTest, ReplayRunsHeadlessAndDumpsTheStage)
{
    test::NovelParts parts;
    parts.Items[0].Lines = {".GRAPHFILL 0 0 255 100 NONE", "@"};
    test::WriteBytes(dir.File("story.kne"), test::NovelFileBytes(parts));
    // The first tick shows the window; after the logo (about 4.6 s) a click on the title
    // starts the story, whose fill is on the screen when the key wait begins.
    const std::string events = WriteReplay("10 dump title\n6000 click 1 1\n6800 dump filled\n6900 quit\n");
    const RunResult run = Player("--replay " + events + " --dump-dir " + dir.Path().string() +
                                 " --transcript " + dir.File("t.txt") + " " + dir.File("story.kne"));
    EXPECT_EQ(run.status, 0) << run.output;
    const std::vector<uint32_t> title = test::PngPixels(dir.File("title.png"));
    const std::vector<uint32_t> filled = test::PngPixels(dir.File("filled.png"));
    ASSERT_EQ(title.size(), 640u * 480u);
    ASSERT_EQ(filled.size(), 640u * 480u);
    EXPECT_EQ(title[0], 0u);
    // Blue 252 everywhere but the blinking key-wait icon at the text cursor (26, 26).
    int notBlue = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool icon = x >= 26 && x < 26 + 24 && y >= 26 && y < 26 + 27;
            if (!icon && filled[static_cast<size_t>(y) * 640 + x] != 0xFC0000u) ++notBlue;
        }
    }
    EXPECT_EQ(notBlue, 0);
    EXPECT_NE(std::count(filled.begin(), filled.end(), 0xFC0000u), 640 * 480);  // the icon shows
    const std::vector<uint8_t> transcript = test::ReadBytes(dir.File("t.txt"));
    EXPECT_NE(std::string(transcript.begin(), transcript.end()).find(" fill 0 0 255"), std::string::npos);

    const RunResult bad = Player("--replay " + WriteReplay("100 fly\n") + " " + dir.File("story.kne"));
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.output.find("line 1"), std::string::npos);
}

std::string ReadText(const std::string& path)
{
    const std::vector<uint8_t> bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The transcript's lines of the event `kind` (the word after the time).
std::vector<std::string> LinesOf(const std::string& transcript, const std::string& kind)
{
    std::vector<std::string> found;
    size_t start = 0;
    for (size_t end; (end = transcript.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = transcript.substr(start, end - start);
        const std::string event = line.substr(line.find(' ') + 1);
        if (event == kind || event.rfind(kind + " ", 0) == 0) found.push_back(line);
    }
    return found;
}

TEST_F(PlayerExecutableTest, ReplaysDrawTheSameNumbersEveryRunAndRecordTheSeed)
{
    test::NovelParts parts;
    parts.Items[0].Lines.assign(8, ".COUNTERRNDSET A 0 10");
    parts.Items[0].Lines.push_back("@");
    test::WriteBytes(dir.File("story.kne"), test::NovelFileBytes(parts));
    const std::string events = WriteReplay("6000 click 1 1\n6900 quit\n");
    const auto transcriptOf = [&](const std::string& options) {
        const std::string path = dir.File("t.txt");
        const RunResult run =
            Player(options + " --replay " + events + " --transcript " + path + " " + dir.File("story.kne"));
        EXPECT_EQ(run.status, 0) << run.output;
        return ReadText(path);
    };

    const std::string first = transcriptOf("");
    EXPECT_EQ(first.rfind("0 seed 1\n", 0), 0u) << first;
    EXPECT_EQ(LinesOf(first, "counter").size(), 8u) << first;
    EXPECT_EQ(transcriptOf(""), first);

    // Another seed draws other numbers (eight equal draws of 0..10 by chance: 1 in 2e8).
    const std::string seven = transcriptOf("--seed 7");
    EXPECT_EQ(seven.rfind("0 seed 7\n", 0), 0u) << seven;
    EXPECT_NE(LinesOf(seven, "counter"), LinesOf(first, "counter"));
    EXPECT_EQ(transcriptOf("--seed 7"), seven);
}

TEST_F(PlayerExecutableTest, PlayerWithAppendedPackagePlaysItAndIgnoresArguments)
{
    const std::string game = dir.File("MyGame");
    std::vector<uint8_t> bytes = test::ReadBytes(std::string(KELVA_BIN_DIR) + "/kelvanovelrun");
    ASSERT_FALSE(bytes.empty());
    MemoryStream plain(test::NovelFileBytes(test::NovelParts()));
    PackageWriter writer;
    writer.Add("autorun.kne", CryptStream(plain)->TakeBytes());
    MemoryStream package;
    writer.WriteTo(package);
    bytes.insert(bytes.end(), package.Bytes().begin(), package.Bytes().end());
    test::WriteBytes(game, bytes);
    fs::permissions(game, fs::perms::owner_all);
    EXPECT_GE(FindPackageOffset(game), 0);

    // Arguments are ignored, so the replay comes from the environment.
    const std::string events = WriteReplay("100 quit\n");
    const RunResult run =
        RunShell("SDL_VIDEODRIVER=dummy KELVA_REPLAY=" + events + " " + game + " --no-such-option /DEBUG");
    EXPECT_EQ(run.status, 0) << run.output;
}

}  // namespace
}  // namespace kelva
