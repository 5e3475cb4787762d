#include "graphics/StageImages.h"

#include <gtest/gtest.h>

#include "graphics/StageTestImages.h"
#include "platform/JpegDecoder.h"

namespace kelva {
namespace {

using test::BmpBytes;
using test::JpegBytes;
using test::SolidImage;

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kGrey = 0x646464;

TColor Gradient(int x, int y)
{
    return MakeColor(x * 255 / 640, y * 255 / 480, 128);
}

TNkDIB Decoded(const std::vector<uint8_t>& jpeg)
{
    JpegDecodeResult result = DecodeJpeg(jpeg.data(), jpeg.size());
    TNkDIB image;
    image.Assign(std::move(result.Picture));
    return image;
}

// A grey stage whose pictures come from a fresh current directory, with a red 100 x 100
// character picture ready at "chara\mina.bmp".
class StageImagesTest : public ::testing::Test {
protected:
    StageImagesTest()
    {
        TNkDIB figure = SolidImage(100, 100, kRed);
        figure.SetPixel(0, 0, kGreen);
        m_files.Write("chara/mina.bmp", BmpBytes(figure));
        m_stage.BackgroundImage = SolidImage(640, 480, kGrey);
        m_stage.Rebuild();
    }

    test::MediaDirectory m_files;
    RecordingMessageBox m_messages{false};
    MediaFiles m_media{nullptr};
    StageImages m_stage{&m_media, &m_messages};
};

TEST_F(StageImagesTest, SmallBitmapIsCentredAndWhatItLeavesBecomesBackground)
{
    m_files.Write("bg/small.bmp", BmpBytes(SolidImage(320, 240, kBlue)));
    m_stage.CharLayer.SetCharacter("Mina", "chara\\mina.bmp", "TOP", "LEFT");
    m_stage.Rebuild();
    m_stage.LoadBackground("BG\\Small.bmp");
    EXPECT_EQ(m_stage.CurrentBackgroundName, "BG\\Small.bmp");
    EXPECT_EQ(m_stage.PageBackgroundName, "BG\\Small.bmp");
    const TNkDIB& stage = m_stage.StageImage;
    EXPECT_EQ(stage.Pixel(160, 120), kBlue);
    EXPECT_EQ(stage.Pixel(479, 359), kBlue);
    EXPECT_EQ(stage.Pixel(159, 120), kGrey);
    EXPECT_EQ(stage.Pixel(479, 360), kGrey);
    // The character was on the old stage, so it stays as part of the background.
    m_stage.CharLayer.DeleteCharacter("Mina");
    m_stage.Rebuild();
    EXPECT_EQ(stage.Pixel(50, 50), kRed);

    // A character standing where the picture lands is drawn over it, not into the
    // background.
    m_stage.CharLayer.SetCharacter("Mina", "chara\\mina.bmp", "MIDDLE", "CENTER");
    m_stage.LoadBackground("bg\\small.bmp");
    EXPECT_EQ(stage.Pixel(320, 240), kRed);
    EXPECT_EQ(m_stage.BackgroundImage.Pixel(320, 240), kBlue);
}

TEST_F(StageImagesTest, OtherExtensionsAndMissingFilesLoadNothingButRedraw)
{
    m_files.Write("bg/pic.png", BmpBytes(SolidImage(640, 480, kBlue)));
    m_files.Write("bg/pic.jpeg", JpegBytes(640, 480, Gradient));
    m_stage.CharLayer.SetCharacter("Mina", "chara\\mina.bmp", "TOP", "LEFT");
    for (const char* name : {"bg\\pic.png", "bg\\pic.jpeg", "bg\\pic", "bg\\none.bmp", "bg\\none.jpg"}) {
        m_stage.LoadBackground(name);
        EXPECT_EQ(m_stage.CurrentBackgroundName, name);
        EXPECT_EQ(m_stage.StageImage.Pixel(50, 50), kRed) << name;
        EXPECT_EQ(m_stage.StageImage.Pixel(320, 240), kGrey) << name;
    }
    // The extension ignores case, and ".DIB" is a bitmap too.
    m_files.Write("A.Dib", BmpBytes(SolidImage(640, 480, kBlue)));
    m_stage.LoadBackground("a.dIB");
    EXPECT_EQ(m_stage.StageImage.Pixel(320, 240), kBlue);
}

TEST_F(StageImagesTest, JpegOfStageSizeReplacesTheStageAndOthersAreCentred)
{
    const std::vector<uint8_t> full = JpegBytes(640, 480, Gradient), tall = JpegBytes(640, 481, Gradient);
    m_files.Write("full.jpg", full);
    m_files.Write("tall.jpg", tall);
    m_files.Write("small.jpg", JpegBytes(100, 50, [](int, int) { return 0xFAFAFA; }));

    m_stage.LoadBackground("FULL.JPG");
    EXPECT_TRUE(test::SameBytes(m_stage.StageImage, Decoded(full)));
    EXPECT_TRUE(test::SameBytes(m_stage.BackgroundImage, Decoded(full)));
    // 240 - 481 div 2 = 0: drawn from the top, its last row cut off.
    TNkDIB expected = Decoded(tall);
    expected.SetHeight(480);
    m_stage.LoadBackground("tall.jpg");
    EXPECT_TRUE(test::SameBytes(m_stage.StageImage, expected));

    m_stage.StageImage = SolidImage(640, 480, kGrey);
    m_stage.LoadBackground("small.jpg");
    EXPECT_GT(ColorRed(m_stage.StageImage.Pixel(270, 215)), 240);
    EXPECT_GT(ColorRed(m_stage.StageImage.Pixel(369, 264)), 240);
    EXPECT_EQ(m_stage.StageImage.Pixel(269, 215), kGrey);
    EXPECT_EQ(m_stage.StageImage.Pixel(369, 265), kGrey);
}

TEST_F(StageImagesTest, PackagePicturesComeFirstAndBrokenOnesFallBackToDisk)
{
    // The entry after the JPEG would spoil a decoder given more than the entry's bytes.
    test::MemoryPackage package({{"bg\\room.jpg", JpegBytes(640, 480, [](int, int) { return 0xFA0000; })},
                                 {"bg\\next.bin", std::vector<uint8_t>(5000, 0xFF)},
                                 {"bg\\broken.jpg", {0xFF, 0xD8, 0xFF}},
                                 {"bg\\wall.bmp", BmpBytes(SolidImage(640, 480, kGreen))}});
    m_files.Write("bg/room.jpg", JpegBytes(640, 480, [](int, int) { return 0x0000FA; }));
    m_files.Write("bg/broken.jpg", JpegBytes(640, 480, [](int, int) { return 0x00FAFA; }));
    StageImages stage(&package.Media(), &m_messages);
    stage.LoadBackground("BG\\ROOM.JPG");
    EXPECT_GT(ColorBlue(stage.StageImage.Pixel(320, 240)), 240);
    stage.LoadBackground("bg\\broken.jpg");
    EXPECT_GT(ColorGreen(stage.StageImage.Pixel(320, 240)), 240);
    stage.LoadBackground("bg\\wall.bmp");
    EXPECT_EQ(stage.StageImage.Pixel(320, 240), kGreen);
}

TEST_F(StageImagesTest, FillsAccumulateOnTheBackgroundUnderTheCharacters)
{
    m_stage.BackgroundImage = SolidImage(640, 480, MakeColor(200, 200, 200));
    m_stage.CharLayer.SetCharacter("Mina", "chara\\mina.bmp", "TOP", "LEFT");
    m_stage.FillBackground(0, 50);
    m_stage.FillBackground(0, 50);
    EXPECT_EQ(m_stage.BackgroundImage.Pixel(50, 50), MakeColor(48, 48, 48));  // 200 -> 100 -> 48
    EXPECT_EQ(m_stage.StageImage.Pixel(320, 240), MakeColor(48, 48, 48));
    EXPECT_EQ(m_stage.StageImage.Pixel(50, 50), kRed);

    m_stage.SilhouetteMode = true;
    m_stage.Rebuild();
    EXPECT_EQ(m_stage.StageImage.Pixel(50, 50), MakeColor(4 * (31 + 6), 4 * 6, 4 * 6));
}

}  // namespace
}  // namespace kelva
