// Runs the built player as a reader would: real files, real process, headless.
#include <gtest/gtest.h>

#include <png.h>

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

RunResult RunShell(const std::string& command) { return test::RunCommand(command + " 2>&1"); }

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

// The pixels of a PNG the replay wrote, as 0x00BBGGRR colour values; empty when unreadable.
std::vector<uint32_t> PngPixels(const std::string& path)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;  // RGBA in memory is 0xAABBGGRR
    return pixels;
}

TEST_F(PlayerExecutableTest, ReplayRunsHeadlessAndDumpsTheStage)
{
    test::NovelParts parts;
    parts.Items[0].Lines = {".GRAPHFILL 0 0 255 100 NONE", "@"};
    test::WriteBytes(dir.File("story.kne"), test::NovelFileBytes(parts));
    // The first tick shows the window; after the logo (about 4.6 s) a click on the title
    // starts the story, whose fill is on the screen when the key wait begins.
    const std::string events = WriteReplay("10 dump title\n6000 click 1 1\n6800 dump filled\n6900 quit\n");
    const RunResult run = Player("--replay " + events + " --dump-dir " + dir.Path().string() + " --transcript " +
                                 dir.File("t.txt") + " " + dir.File("story.kne"));
    EXPECT_EQ(run.status, 0) << run.output;
    const std::vector<uint32_t> title = PngPixels(dir.File("title.png"));
    const std::vector<uint32_t> filled = PngPixels(dir.File("filled.png"));
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
    const RunResult run = RunShell("SDL_VIDEODRIVER=dummy KELVA_REPLAY=" + events + " " + game +
                                   " --no-such-option /DEBUG");
    EXPECT_EQ(run.status, 0) << run.output;
}

}  // namespace
}  // namespace kelva
