#include "data/MediaFiles.h"

#include <gtest/gtest.h>

#include "graphics/StageTestImages.h"

namespace kelva {
namespace {

std::vector<uint8_t> Bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

TEST(MediaFilesTest, ScriptNamesFindDiskFilesWhateverTheirCase)
{
    test::MediaDirectory files;
    files.Write("Graphics/Chara/Girl.BMP", Bytes("girl"));
    files.Write("bgm/title.mid", {});
    files.Write("pic.bmp", {});
    files.Write("PIC.BMP", {});
    files.Write(
        "\x83\x5C"
        "a.bmp",
        {});  // "ソ": its second byte is a backslash
    MediaFiles media(nullptr);
    EXPECT_EQ(media.DiskPath("graphics\\CHARA\\girl.bmp"), "Graphics/Chara/Girl.BMP");
    EXPECT_EQ(media.DiskPath(".\\bgm\\..\\BGM\\TITLE.mid"), "./bgm/../bgm/title.mid");
    EXPECT_EQ(media.DiskPath("pic.bmp"), "pic.bmp");  // the exact name wins
    EXPECT_EQ(media.DiskPath("Pic.bmp"), "PIC.BMP");  // else the smallest folded match
    EXPECT_EQ(media.DiskPath("\x83\x5C"
                             "A.BMP"),
              "\x83\x5C"
              "a.bmp");
    EXPECT_EQ(media.DiskPath("BGM\\Missing\\Title.MID"), "bgm/Missing/Title.MID");
    EXPECT_EQ(media.ReadDiskFile("GRAPHICS\\chara\\GIRL.bmp"), Bytes("girl"));
    EXPECT_FALSE(media.ReadDiskFile("bgm"));
    EXPECT_FALSE(media.ReadDiskFile("none.mid"));

    // Non-ASCII parts that match nothing are tried once more converted.
    files.Write("chara/mina-utf8.bmp", {});
    media.SetDiskNameConverter([](std::string_view part) {
        return part == "\x83\x7E\x83\x69.BMP" ? std::string("Mina-UTF8.bmp") : std::string(part);
    });
    EXPECT_EQ(media.DiskPath("CHARA\\\x83\x7E\x83\x69.BMP"), "chara/mina-utf8.bmp");
}

TEST(MediaFilesTest, PackageEntriesAreReadToTheirExactSize)
{
    test::MemoryPackage package(
        {{"bg\\one.jpg", {1, 2, 3}}, {"bg\\two.jpg", {4, 5, 6, 7}}, {"empty.wav", {}}});
    MediaFiles& media = package.Media();
    EXPECT_EQ(media.ReadEntry("BG\\ONE.JPG"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(media.ReadEntry("empty.wav"), std::vector<uint8_t>{});
    EXPECT_FALSE(media.ReadEntry("bg\\three.jpg"));
    int64_t size = -5;
    Stream* entry = media.OpenEntry("bg\\two.jpg", size);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(entry->ReadUInt8(), 4);
    EXPECT_EQ(MediaFiles(nullptr).OpenEntry("bg\\two.jpg", size), nullptr);
}

}  // namespace
}  // namespace kelva
