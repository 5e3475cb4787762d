#include "graphics/RunCommon.h"

#include <gtest/gtest.h>

#include "graphics/StageTestImages.h"

namespace kelva {
namespace {

using test::SolidImage;

TColor Pattern(int x, int y)
{
    return MakeColor(x * 5 + 1, y * 3 + 2, x ^ y);
}

TNkDIB PatternImage(int width, int height)
{
    TNkDIB image(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.SetPixel(x, y, Pattern(x, y));
    return image;
}

// How many pixels no longer hold `background`.
int Changed(const TNkDIB& image, TColor background)
{
    int count = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) count += image.Pixel(x, y) != background;
    return count;
}

TEST(PixelRoutineTest, CopyRectIncludesRightAndBottomAndClipsToBothImages)
{
    const TNkDIB source = PatternImage(640, 480);
    TNkDIB target = SolidImage(600, 400, 0);
    CopyRect(source, target, {5, 6, 9, 8});
    EXPECT_EQ(target.Pixel(9, 8), Pattern(9, 8));
    EXPECT_EQ(Changed(target, 0), 5 * 3);

    // A band as wide as the stage, reaching past both images' edges.
    CopyRect(source, target, {-10, 390, 640, 500});
    EXPECT_EQ(target.Pixel(0, 390), Pattern(0, 390));
    EXPECT_EQ(target.Pixel(599, 399), Pattern(599, 399));
    EXPECT_EQ(Changed(target, 0), 5 * 3 + 600 * 10);
}

TEST(PixelRoutineTest, MaskedCopyTakesSetBitsLeftmostFirst)
{
    const TNkDIB source = PatternImage(40, 4);
    TNkDIB mask(32, 4, 1);  // narrower than the images: columns 32.. are never copied
    const uint8_t row0[] = {0xFF, 0x81, 0x00, 0xFF};
    std::copy(row0, row0 + 4, mask.ScanLine(0));
    std::fill(mask.ScanLine(1), mask.ScanLine(1) + 4, 0xFF);

    TNkDIB target = SolidImage(40, 4, 0);
    MaskedCopy(source, target, mask, {0, 0, 40, 4});
    EXPECT_EQ(target.Pixel(8, 0), Pattern(8, 0));
    EXPECT_EQ(target.Pixel(9, 0), 0u);
    EXPECT_EQ(target.Pixel(15, 0), Pattern(15, 0));
    EXPECT_EQ(Changed(target, 0), 8 + 2 + 8 + 32);

    // Right and bottom excluded; a rectangle starting inside a mask byte.
    TNkDIB part = SolidImage(40, 4, 0);
    MaskedCopy(source, part, mask, {3, 0, 13, 1});
    EXPECT_EQ(part.Pixel(3, 0), Pattern(3, 0));
    EXPECT_EQ(part.Pixel(2, 0), 0u);
    EXPECT_EQ(Changed(part, 0), 5 + 1);
}

TEST(PixelRoutineTest, KeyWaitIconDrawsOneFrameWithoutWhiteAndInsideTheStage)
{
    // Frame 0 red, frame 1 blue, each with a white pixel at its top-left corner.
    TNkDIB strip = SolidImage(48, 24, MakeColor(255, 0, 0));
    strip.FillRect({24, 0, 48, 24}, MakeColor(0, 0, 255));
    strip.SetPixel(0, 0, 0xFFFFFF);
    strip.SetPixel(24, 0, 0xFFFFFF);
    const TColor grey = 0x090909;
    TNkDIB screen = SolidImage(640, 480, grey);
    DrawKeyWaitIcon(strip, screen, 100, 200, 1);
    EXPECT_EQ(screen.Pixel(100, 200), grey);
    EXPECT_EQ(screen.Pixel(123, 223), MakeColor(0, 0, 255));
    EXPECT_EQ(Changed(screen, grey), 24 * 24 - 1);

    TNkDIB edge = SolidImage(640, 480, 0);
    DrawKeyWaitIcon(strip, edge, 630, -5, 0);
    DrawKeyWaitIcon(strip, edge, -20, 470, 0);
    EXPECT_EQ(edge.Pixel(639, 18), MakeColor(255, 0, 0));
    EXPECT_EQ(Changed(edge, 0), 10 * 19 + 4 * 10);
    DrawKeyWaitIcon(strip, edge, 0, 0, 2);     // past the strip
    DrawKeyWaitIcon(TNkDIB(), edge, 0, 0, 0);  // before the window gives its picture
    EXPECT_EQ(Changed(edge, 0), 10 * 19 + 4 * 10);
}

}  // namespace
}  // namespace kelva
