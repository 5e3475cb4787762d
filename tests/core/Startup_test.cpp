#include <gtest/gtest.h>

#include <filesystem>

#include "core/KelvaNovelRun.h"
#include "data/Crypt.h"
#include "data/PackageWriter.h"
#include "platform/headless/RecordingMessageBox.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;
using test::NovelFileBytes;
using test::NovelParts;

// No shared library is ever found.
class NoLibraries final : public LibraryLoader {
public:
    std::unique_ptr<DynamicLibrary> Load(const std::string&) override { return nullptr; }
};

class StartupTest : public ::testing::Test {
protected:
    std::unique_ptr<LoadedGame> Start(const std::string& program, const std::vector<std::string>& args,
                                      int64_t packageOffset = -1)
    {
        Startup startup(messages, libraries, mp3);
        return startup.Run(program, packageOffset, ParseCommandLine(args));
    }

    // The one message shown, which must carry the runtime caption and the error icon.
    std::string OnlyMessage() const
    {
        EXPECT_EQ(messages.Messages().size(), 1u);
        if (messages.Messages().empty()) return {};
        EXPECT_EQ(messages.Messages()[0].caption, "Kelva! Novel Runtime");
        EXPECT_EQ(messages.Messages()[0].icon, MessageIcon::Error);
        return messages.Messages()[0].text;
    }

    test::CurrentDirectoryGuard cwd;
    test::TempDir dir;
    RecordingMessageBox messages{false};
    NoLibraries libraries;
    Mp3Library mp3;
};

TEST_F(StartupTest, PlaysTheNovelFileBesideTheProgramWhenNoneIsNamed)
{
    test::WriteBytes(dir.File("Story.kne"), NovelFileBytes(NovelParts()));
    const auto game = Start(dir.File("Story.EXE"), {});
    ASSERT_TRUE(game);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(game->Values.NovelFileName, dir.File("Story.kne"));
    EXPECT_EQ(game->Values.BookmarkFile, dir.File("story.knb"));  // file name lower-cased
    EXPECT_EQ(fs::current_path(), dir.Path());
    EXPECT_EQ(game->Story->Items.Count(), 1);
    EXPECT_EQ(game->Story->Counters[0].Name, "A");
    EXPECT_EQ(game->Story->InitialCounters[0].Value, 1);
}

TEST_F(StartupTest, DataFolderArgumentIsMadeCurrentBeforeTheNovelFileOpens)
{
    fs::create_directory(dir.Path() / "Game");
    test::WriteBytes(dir.File("Game/tale.kne"), NovelFileBytes(NovelParts()));
    const auto game = Start("/usr/bin/player", {"*" + dir.File("Game"), "tale.kne", "/debug"});
    ASSERT_TRUE(game) << OnlyMessage();
    EXPECT_EQ(fs::current_path(), dir.Path() / "Game");
    EXPECT_EQ(game->Values.BookmarkFile, "tale.knb");
    EXPECT_TRUE(game->Values.DebugMode);
}

TEST_F(StartupTest, RelativeNovelFileWithoutDataFolderIsFoundOnce)
{
    fs::create_directory(dir.Path() / "sub");
    test::WriteBytes(dir.File("sub/tale.kne"), NovelFileBytes(NovelParts()));
    fs::current_path(dir.Path());
    const auto game = Start("/usr/bin/player", {"sub/tale.kne"});
    ASSERT_TRUE(game) << OnlyMessage();
    EXPECT_EQ(fs::current_path(), dir.Path() / "sub");
}

TEST_F(StartupTest, MissingNovelFileIsNamedWithTheFolderItWasLookedFor)
{
    EXPECT_FALSE(Start("/usr/bin/player", {dir.File("gone.kne")}));
    EXPECT_EQ(OnlyMessage(), "ファイル gone.kne を開けません。\r\n探した場所: " + dir.Path().string() +
                                 "\r\n実行を中止します。");
}

TEST_F(StartupTest, RelativeNovelFileIsLookedForInTheDataFolder)
{
    fs::create_directories(dir.Path() / "game" / "data");
    fs::current_path(dir.Path());
    EXPECT_FALSE(Start("/usr/bin/player", {"*game/data", "game/tale.kne"}));
    EXPECT_EQ(OnlyMessage(), "ファイル tale.kne を開けません。\r\n探した場所: " +
                                 (dir.Path() / "game" / "data" / "game").string() + "\r\n実行を中止します。");
}

TEST_F(StartupTest, StorySourceIsRefusedWithTheCommandThatBuildsIt)
{
    test::WriteBytes(dir.File("Story.YAML"), {'a', ':', ' ', '1', '\n'});
    EXPECT_FALSE(Start("/usr/bin/player", {dir.File("Story.YAML")}));
    EXPECT_EQ(OnlyMessage(),
              "Story.YAML はストーリーのソースです。\r\nknovel build Story.YAML -o Story.kne "
              "でノベルファイルを作ってから開いてください。");
}

TEST_F(StartupTest, OtherFileVersionsAreRefused)
{
    std::vector<uint8_t> bytes = NovelFileBytes(NovelParts());
    bytes[33] = 6;  // Version field
    test::WriteBytes(dir.File("old.kne"), bytes);
    EXPECT_FALSE(Start("/usr/bin/player", {dir.File("old.kne")}));
    EXPECT_EQ(OnlyMessage(),
              "old.kne のファイルバージョンが違います。\r\nKelva! Novel R.9.2 で保存しなおしてください。");
}

TEST_F(StartupTest, TruncatedNovelFilesAreRefusedWithTheirName)
{
    const std::vector<uint8_t> whole = NovelFileBytes(NovelParts());
    for (size_t length : {size_t{0}, size_t{40}, size_t{2483}, size_t{2490}, whole.size() - 1}) {
        SCOPED_TRACE(length);
        RecordingMessageBox local{false};
        test::WriteBytes(dir.File("cut.kne"), std::vector<uint8_t>(whole.begin(), whole.begin() + length));
        Startup startup(local, libraries, mp3);
        EXPECT_FALSE(startup.Run("/usr/bin/player", -1, ParseCommandLine({dir.File("cut.kne")})));
        ASSERT_EQ(local.Messages().size(), 1u);
        EXPECT_TRUE(local.Messages()[0].text.starts_with("cut.kne を読み込めません。\r\n"));
    }
}

TEST_F(StartupTest, HostileCountsAreRefused)
{
    NovelParts parts;
    std::vector<uint8_t> bytes = NovelFileBytes(parts);
    const size_t itemCount = 2483 + 8 + 4 + 1 + 12 + 1;  // header, counter block of "A"
    bytes[itemCount + 3] = 0x7F;                         // 2 billion items
    test::WriteBytes(dir.File("huge.kne"), bytes);
    EXPECT_FALSE(Start("/usr/bin/player", {dir.File("huge.kne")}));
    EXPECT_NE(OnlyMessage().find("2048"), std::string::npos);
}

TEST_F(StartupTest, MissingMp3LibraryWarnsOnlyWhenTheStoryUsesMp3)
{
    NovelParts parts;
    test::WriteBytes(dir.File("plain.kne"), NovelFileBytes(parts));
    EXPECT_TRUE(Start("/usr/bin/player", {dir.File("plain.kne")}));
    EXPECT_TRUE(messages.Messages().empty());

    parts.Header.UsesMp3 = true;
    test::WriteBytes(dir.File("mp3.kne"), NovelFileBytes(parts));
    EXPECT_TRUE(Start("/usr/bin/player", {dir.File("mp3.kne")}));  // start-up goes on
    EXPECT_EQ(OnlyMessage(), "VBMP3.DLL のロードに失敗しました.\rMP3を使用した音声は再生できません.");
}

TEST_F(StartupTest, StoryFontFollowsTheHeader)
{
    NovelParts parts;
    parts.Header.FontKind = 1;
    parts.Header.FontHeight = 24;
    test::WriteBytes(dir.File("f.kne"), NovelFileBytes(parts));
    auto game = Start("/usr/bin/player", {dir.File("f.kne")});
    ASSERT_TRUE(game);
    EXPECT_EQ(game->StoryFont, (FontSpec{"ＭＳ Ｐ明朝", 24, true}));
    EXPECT_EQ(game->SpareFont, game->StoryFont);

    parts.Header.FontKind = 2;  // keeps the default face
    test::WriteBytes(dir.File("f.kne"), NovelFileBytes(parts));
    game = Start("/usr/bin/player", {dir.File("f.kne")});
    ASSERT_TRUE(game);
    EXPECT_EQ(game->StoryFont, (FontSpec{FontSpec().Face, 24, false}));
}

// A program file with a package appended: the package's scrambled novel file is played,
// the command line is ignored.
class PackagedStartupTest : public StartupTest {
protected:
    std::string MakeGame(bool withNovel)
    {
        const std::string program = dir.File("MyGame");
        std::vector<uint8_t> bytes(100, 0xCC);  // stands for the executable image
        const int64_t offset = static_cast<int64_t>(bytes.size());
        PackageWriter writer;
        writer.Add("bg\\room.bmp", {1, 2, 3});
        if (withNovel) {
            MemoryStream plain(NovelFileBytes(NovelParts()));
            writer.Add("autorun.kne", CryptStream(plain)->TakeBytes());
        }
        MemoryStream package;
        writer.WriteTo(package);
        bytes.insert(bytes.end(), package.Bytes().begin(), package.Bytes().end());
        test::WriteBytes(program, bytes);
        m_offset = offset;
        return program;
    }
    int64_t m_offset = -1;
};

TEST_F(PackagedStartupTest, PlaysThePackageAndIgnoresTheCommandLine)
{
    const std::string program = MakeGame(true);
    const auto game = Start(program, {"/DEBUG", "other.kne", "*/tmp"}, m_offset);
    ASSERT_TRUE(game) << OnlyMessage();
    EXPECT_FALSE(game->Values.DebugMode);
    EXPECT_EQ(game->Values.NovelFileName, "");
    EXPECT_EQ(game->Values.DataFolder, dir.Path().string());
    EXPECT_EQ(game->Values.BookmarkFile, dir.File("mygame.knb"));
    EXPECT_EQ(fs::current_path(), dir.Path());
    ASSERT_TRUE(game->Package);
    EXPECT_GE(game->Package->IndexOf("BG\\ROOM.BMP"), 0);
    EXPECT_EQ(game->Story->Items[0].Lines[0], "こんにちは。");
}

TEST_F(PackagedStartupTest, PackageWithoutNovelFileStops)
{
    const std::string program = MakeGame(false);
    EXPECT_FALSE(Start(program, {}, m_offset));
    EXPECT_EQ(OnlyMessage(), "EXEファイルアーカイブを正しく開けません。\r\n実行を中止します。");
}

TEST_F(PackagedStartupTest, BrokenPackageIsShownBeforeStartUpStops)
{
    const std::string program = MakeGame(true);
    std::vector<uint8_t> bytes = test::ReadBytes(program);
    bytes[static_cast<size_t>(m_offset) + 13] = 0xFF;  // the entry count becomes negative
    bytes[static_cast<size_t>(m_offset) + 14] = 0xFF;
    test::WriteBytes(program, bytes);
    EXPECT_FALSE(Start(program, {}, m_offset));
    const auto& shown = messages.Messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "TReadPackageFile.OpenStream");
    EXPECT_EQ(shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(shown[0].text, "パッケージが壊れています。エントリ数 -1 が負の値です。");
    EXPECT_EQ(shown[1].caption, "Kelva! Novel Runtime");
    EXPECT_EQ(shown[1].text, "EXEファイルアーカイブを正しく開けません。\r\n実行を中止します。");
}

}  // namespace
}  // namespace kelva
