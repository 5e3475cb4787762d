// knovel pack, list, unpack and the package and bookmark parts of knovel dump, run as the
// author runs them: the real tool on real folders.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "data/BookmarkData.h"
#include "data/Crypt.h"
#include "data/PackageFile2.h"
#include "data/PackageWriter.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

namespace fs = std::filesystem;

using RunResult = test::CommandResult;

RunResult Knovel(const std::string& arguments)
{
    return test::RunKnovel(arguments + " 2>&1");
}

std::string Quote(const std::string& path)
{
    return "'" + path + "'";
}

// Literals of this file are compiled to CP932; file names on disk and terminal output
// are UTF-8, which u8 literals always are.
std::string U8(const char8_t* text)
{
    return reinterpret_cast<const char*>(text);
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

bool Contains(const std::string& haystack, const std::string& needle)
{
    return haystack.find(needle) != std::string::npos;
}

struct PackageContents {
    bool open = false;
    std::vector<TPackageEntry> entries;
    std::vector<std::string> data;
};

PackageContents ReadPackage(const std::string& path, int64_t offset)
{
    PackageContents contents;
    MemoryStream stream(test::ReadBytes(path));
    stream.Seek(offset, SeekOrigin::Begin);
    TReadPackageFile reader;
    std::string error;
    contents.open = reader.OpenStream(stream, error);
    for (int i = 0; i < reader.Count(); ++i) {
        const TPackageEntry entry = reader.GetEntry(i);
        contents.entries.push_back(entry);
        std::string bytes(static_cast<size_t>(entry.Size), '\0');
        stream.Seek(reader.DataStart() + entry.Offset, SeekOrigin::Begin);
        stream.ReadExact(bytes.data(), bytes.size());
        contents.data.push_back(bytes);
    }
    return contents;
}

class KnovelPackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = dir.Path() / "data";
        fs::create_directories(data / "bg");
        fs::create_directories(data / "chara" / U8(u8"ねこ"));
        test::WriteBytes((data / "bg" / "room.jpg").string(), Bytes("JPEG room"));
        test::WriteBytes((data / "Title.bmp").string(), Bytes("BM title"));
        test::WriteBytes((data / "chara" / U8(u8"ねこ") / U8(u8"表情①.bmp")).string(), Bytes("BM cat"));
        test::WriteBytes((data / "empty.wav").string(), {});
        story = test::NovelFileBytes(test::NovelParts());
        test::WriteBytes(dir.File("story.kne"), story);
    }

    std::string Pack(const std::string& output, const std::string& extra = "")
    {
        const RunResult run = Knovel("pack " + Quote(data.string()) + " " + Quote(dir.File("story.kne")) +
                                     " -o " + Quote(output) + " " + extra);
        lastOutput = run.output;
        return run.status == 0 ? output : "";
    }

    test::TempDir dir;
    fs::path data;
    std::vector<uint8_t> story;
    std::string lastOutput;
};

TEST_F(KnovelPackTest, PackagesAFolderThatListAndUnpackGiveBack)
{
    const std::string package = Pack(dir.File("game.pak"));
    ASSERT_FALSE(package.empty()) << lastOutput;

    const PackageContents contents = ReadPackage(package, 0);
    ASSERT_TRUE(contents.open);
    std::vector<std::string> names;
    for (const TPackageEntry& entry : contents.entries) names.push_back(entry.Name);
    // Sorted without regard to case, the story first; folders joined with backslashes and
    // names in CP932 (ねこ = 82 CB 82 B1, 表 = 95 5C with a trail byte that looks like "\").
    EXPECT_EQ(names, (std::vector<std::string>{"autorun.kne", "bg\\room.jpg",
                                               "chara\\\x82\xCB\x82\xB1\\\x95\x5C\x8F\xEE\x87\x40.bmp",
                                               "empty.wav", "Title.bmp"}));
    MemoryStream scrambled(Bytes(contents.data[0]));
    EXPECT_EQ(CryptStream(scrambled)->Bytes(), story);
    EXPECT_EQ(contents.data[2], "BM cat");
    EXPECT_EQ(contents.entries[1].Offset, static_cast<int32_t>(story.size())) << "entries lie back to back";

    std::string again = Pack(dir.File("again.pak"));
    EXPECT_EQ(test::ReadBytes(again), test::ReadBytes(package)) << "the same folder gives the same package";

    const RunResult list = Knovel("list " + Quote(package));
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(Contains(list.output, U8(u8"chara\\ねこ\\表情①.bmp"))) << list.output;
    char line[64];
    std::snprintf(line, sizeof line, "%10d %10zu  bg\\room.jpg\n", 9, story.size());
    EXPECT_TRUE(Contains(list.output, line)) << list.output;
    EXPECT_EQ(std::count(list.output.begin(), list.output.end(), '\n'), 5);

    const std::string out = dir.File("out");
    const RunResult unpack = Knovel("unpack " + Quote(package) + " -o " + Quote(out));
    ASSERT_EQ(unpack.status, 0) << unpack.output;
    EXPECT_EQ(test::ReadBytes(out + "/autorun.kne"), story) << "the story comes out unscrambled";
    EXPECT_EQ(test::ReadBytes(out + U8(u8"/chara/ねこ/表情①.bmp")), Bytes("BM cat"));
    EXPECT_EQ(test::ReadBytes(out + "/bg/room.jpg"), Bytes("JPEG room"));
    EXPECT_TRUE(fs::exists(out + "/empty.wav"));
    EXPECT_EQ(fs::file_size(out + "/empty.wav"), 0u);

    // Packing the unpacked folder again (its story left out) gives the same package.
    fs::rename(out + "/autorun.kne", dir.File("story2.kne"));
    const RunResult repack = Knovel("pack " + Quote(out) + " " + Quote(dir.File("story2.kne")) + " -o " +
                                    Quote(dir.File("repacked.pak")));
    ASSERT_EQ(repack.status, 0) << repack.output;
    EXPECT_EQ(test::ReadBytes(dir.File("repacked.pak")), test::ReadBytes(package));
}

TEST_F(KnovelPackTest, PackedGameIsTheProgramWithThePackageAtItsImageEnd)
{
    const std::string program = std::string(KELVA_BIN_DIR) + "/knovel";
    const std::vector<uint8_t> programBytes = test::ReadBytes(program);
    MemoryStream programStream(programBytes);
    const int64_t imageEnd = FindImageEnd(programStream);
    ASSERT_GT(imageEnd, 0);

    const std::string game = Pack(dir.File("game"), "--exe " + Quote(program));
    ASSERT_FALSE(game.empty()) << lastOutput;
    struct stat info {};
    ASSERT_EQ(stat(game.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);

    // The program goes in without its debug information, and still runs.
    const std::vector<uint8_t> gameBytes = test::ReadBytes(game);
    const int64_t gameImageEnd = FindPackageOffset(game);
    EXPECT_GT(gameImageEnd, 0);
    EXPECT_LT(gameImageEnd, imageEnd) << "the program was built with debug information";
    const RunResult run = test::RunCommand(Quote(game) + " help");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(Contains(run.output, "Usage: knovel")) << run.output;
    const PackageContents contents = ReadPackage(game, gameImageEnd);
    ASSERT_TRUE(contents.open);
    EXPECT_EQ(contents.entries.size(), 5u);

    // A game given as the player: its package is cut off, not stacked under a new one.
    const std::string again = Pack(dir.File("game2"), "--exe " + Quote(game));
    ASSERT_FALSE(again.empty()) << lastOutput;
    EXPECT_EQ(test::ReadBytes(again), gameBytes);

    const RunResult list = Knovel("list " + Quote(game));
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(Contains(list.output, "autorun.kne")) << list.output;
    const RunResult unpack = Knovel("unpack " + Quote(game) + " -o " + Quote(dir.File("out")));
    ASSERT_EQ(unpack.status, 0) << unpack.output;
    EXPECT_EQ(test::ReadBytes(dir.File("out/autorun.kne")), story);

    const RunResult dump = Knovel("dump " + Quote(game));
    EXPECT_EQ(dump.status, 0) << dump.output;
    EXPECT_TRUE(Contains(dump.output, "program image of " + std::to_string(gameImageEnd) + " bytes"))
        << dump.output;
    EXPECT_TRUE(Contains(dump.output, U8(u8"chara\\ねこ\\表情①.bmp"))) << dump.output;
    EXPECT_TRUE(Contains(dump.output, "(the story, scrambled)")) << dump.output;

    // The story commands read the story inside the game, as if given the novel file.
    for (const std::string command : {"decompile", "graph"}) {
        const RunResult fromGame = Knovel(command + " " + Quote(game) + " -o " + Quote(dir.File("game.out")));
        const RunResult fromFile =
            Knovel(command + " " + Quote(dir.File("story.kne")) + " -o " + Quote(dir.File("kne.out")));
        ASSERT_EQ(fromGame.status, 0) << command << ": " << fromGame.output;
        EXPECT_EQ(test::ReadBytes(dir.File("game.out")), test::ReadBytes(dir.File("kne.out"))) << command;
    }
    EXPECT_TRUE(Contains(dump.output, "autorun.kne:\n")) << dump.output;
    EXPECT_TRUE(Contains(dump.output, "start")) << dump.output;
    const RunResult check = Knovel("check " + Quote(game));
    EXPECT_FALSE(Contains(check.output, "file version")) << check.output;
    EXPECT_FALSE(Contains(check.output, "media not checked")) << "the game's own package holds the media";

    EXPECT_NE(Knovel("pack " + Quote(data.string()) + " " + Quote(dir.File("story.kne")) + " -o " +
                     Quote(dir.File("bad")) + " --exe " + Quote(dir.File("story.kne")))
                  .status,
              0)
        << "a player that is no executable";
    EXPECT_FALSE(fs::exists(dir.File("bad")));
}

TEST_F(KnovelPackTest, RefusesWhatThePlayerCouldNotUse)
{
    struct Case {
        const char* what;
        std::string file;  // UTF-8 path below the data folder
    };
    const Case cases[] = {
        {"a character CP932 can't hold", U8(u8"bg/\U0001F600.bmp")},
        {"a file name that is no UTF-8", "bg/\xFF\xFE.bmp"},
        {"a backslash in a name", "bg/a\\b.bmp"},
        {"names that differ only in case", "BG/ROOM.JPG"},
        {"a file named like the story entry", "AutoRun.kne"},
    };
    for (const Case& c : cases) {
        const fs::path bad = data / c.file;
        fs::create_directories(bad.parent_path());
        test::WriteBytes(bad.string(), Bytes("x"));
        EXPECT_TRUE(Pack(dir.File("game.pak")).empty()) << c.what;
        EXPECT_TRUE(Contains(lastOutput, "knovel: ")) << c.what;
        EXPECT_FALSE(fs::exists(dir.File("game.pak"))) << c.what;
        fs::remove(bad);
        if (fs::is_empty(bad.parent_path())) fs::remove(bad.parent_path());
    }

    test::WriteBytes(dir.File("story.kne"), Bytes("not a story"));
    EXPECT_TRUE(Pack(dir.File("game.pak")).empty());
    EXPECT_TRUE(Contains(lastOutput, "not a novel file")) << lastOutput;
    MemoryStream plain(story);
    test::WriteBytes(dir.File("story.kne"), CryptStream(plain)->Bytes());
    EXPECT_TRUE(Pack(dir.File("game.pak")).empty());
    EXPECT_TRUE(Contains(lastOutput, "already scrambled")) << lastOutput;
    EXPECT_EQ(Knovel("pack " + Quote(data.string())).status, 1);
}

TEST(KnovelUnpackTest, NeverWritesOutsideTheTargetFolder)
{
    const std::string hostile[] = {
        "..\\escape.txt", "bg\\..\\..\\escape.txt", "\\escape.txt", "/tmp/escape.txt",
        "C:\\escape.txt", "bg\\\\room.jpg",         ".\\x",         std::string("a\0b", 3)};
    for (const std::string& name : hostile) {
        test::TempDir dir;
        PackageWriter writer;
        writer.Add("good.bmp", Bytes("good"));
        writer.Add(name, Bytes("evil"));
        MemoryStream out;
        writer.WriteTo(out);
        test::WriteBytes(dir.File("evil.pak"), out.Bytes());

        const RunResult run =
            Knovel("unpack " + Quote(dir.File("evil.pak")) + " -o " + Quote(dir.File("a/b")));
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_TRUE(Contains(run.output, "refusing")) << name << ": " << run.output;
        EXPECT_FALSE(fs::exists(dir.File("escape.txt"))) << name;
        EXPECT_FALSE(fs::exists(dir.File("a/escape.txt"))) << name;
        EXPECT_FALSE(fs::exists(dir.File("a/b/good.bmp")))
            << name << ": nothing is written when one name is bad";
    }
    EXPECT_FALSE(fs::exists("/tmp/escape.txt"));

    // A folder of the package that is a symbolic link in the target leads nowhere.
    test::TempDir dir;
    PackageWriter writer;
    writer.Add("bg\\x.bmp", Bytes("x"));
    MemoryStream out;
    writer.WriteTo(out);
    test::WriteBytes(dir.File("p.pak"), out.Bytes());
    fs::create_directories(dir.File("target"));
    fs::create_directories(dir.File("elsewhere"));
    fs::create_directory_symlink(dir.File("elsewhere"), dir.File("target/bg"));
    EXPECT_EQ(Knovel("unpack " + Quote(dir.File("p.pak")) + " -o " + Quote(dir.File("target"))).status, 1);
    EXPECT_FALSE(fs::exists(dir.File("elsewhere/x.bmp")));

    EXPECT_EQ(Knovel("unpack " + Quote(dir.File("elsewhere")) + " -o " + Quote(dir.File("t2"))).status, 1);
    test::WriteBytes(dir.File("plain.txt"), Bytes("no package here at all"));
    const RunResult notPackage = Knovel("list " + Quote(dir.File("plain.txt")));
    EXPECT_EQ(notPackage.status, 1);
    EXPECT_TRUE(Contains(notPackage.output, "neither a package nor a game")) << notPackage.output;
}

TEST(KnovelUnpackTest, WritesNamesOfTheLongestLengthAndGoesOnPastAFailedEntry)
{
    test::TempDir dir;
    const std::string longest(255, 'n');  // the most a file system's name holds
    PackageWriter writer;
    writer.Add(longest, Bytes("long"));
    writer.Add("taken", Bytes("a file"));
    writer.Add("taken\\inside.bmp", Bytes("needs a folder where a file is"));
    writer.Add("z.bmp", Bytes("last"));
    MemoryStream out;
    writer.WriteTo(out);
    test::WriteBytes(dir.File("p.pak"), out.Bytes());

    const RunResult run = Knovel("unpack " + Quote(dir.File("p.pak")) + " -o " + Quote(dir.File("t")));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.output, "cannot create the folder")) << run.output;
    EXPECT_TRUE(Contains(run.output, "1 of 4 entries not extracted")) << run.output;
    EXPECT_EQ(test::ReadBytes(dir.File("t/" + longest)), Bytes("long"));
    EXPECT_EQ(test::ReadBytes(dir.File("t/z.bmp")), Bytes("last")) << "entries after the failed one";
    for (const auto& entry : fs::directory_iterator(dir.File("t"))) {
        EXPECT_NE(entry.path().filename().string().rfind(".tmp", 0), 0u) << "no temporary file is left";
    }
}

TEST(KnovelDumpBookmarkTest, ShowsEveryFieldAndOnlyTheSlotsInUse)
{
    test::TempDir dir;
    TBookmarkList list;
    TBookmarkData* b = list.Add();
    b->ItemName = "\x8E\x6E\x82\xDF";  // 始め
    b->Position = {5, 12};
    b->Counters.Add({"\x82\xC8\x82\xA9\x82\xE6\x82\xB5", 40, 0, 100, true});  // なかよし
    b->Background = "bg\\room.jpg";
    b->Music = "bgm\\theme.mid";
    b->Sprites.SetSlot(3, "\x83\x7E\x83\x69", "chara\\girl.bmp", 210, 80);  // ミナ
    b->CdTrack = 2;
    b->Saved = EncodeSavedDate({2024, 3, 5, 9, 7, 3});
    b->PlayNumber = 1;
    b->Page = -1;
    b->UpdateTexts();
    list.Add();
    MemoryStream file;
    list.SaveToStream(file);
    test::WriteBytes(dir.File("game.knb"), file.Bytes());

    const RunResult dump = Knovel("dump " + Quote(dir.File("game.knb")));
    ASSERT_EQ(dump.status, 0) << dump.output;
    for (const std::string& expected :
         {std::string("2 bookmarks"), U8(u8"ItemName    \"始め\""), std::string("character 5, line 12"),
          std::string("Sound       \"\" (none)"), std::string("Saved       2024-03-05 09:07:03"),
          U8(u8"Label       \"1回目 クリア\""), U8(u8"\"なかよし\" = 40 (min 0, max 100, persistent)"),
          U8(u8"slot  3  \"ミナ\"  \"chara\\\\girl.bmp\"  at (210, 80)"),
          std::string("Saved       1899-12-30 00:00:00")}) {
        EXPECT_TRUE(Contains(dump.output, expected)) << expected << "\n" << dump.output;
    }
    EXPECT_FALSE(Contains(dump.output, "slot  0")) << "free slots are not listed";

    // A bookmark file that claims 51 bookmarks is refused with the reason.
    std::vector<uint8_t> bytes = test::ReadBytes(dir.File("game.knb"));
    bytes[37] = 51;
    test::WriteBytes(dir.File("bad.knb"), bytes);
    const RunResult bad = Knovel("dump " + Quote(dir.File("bad.knb")));
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(Contains(bad.output, "51")) << bad.output;
}

}  // namespace
}  // namespace kelva
