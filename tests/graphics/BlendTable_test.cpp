#include "graphics/BlendTable.h"

#include <gtest/gtest.h>

#include "graphics/RunCommon.h"
#include "graphics/StageTestImages.h"

namespace kelva {
namespace {

using test::SameBytes;
using test::SolidImage;

const BlendTable kTable;

// A 24-bit image whose bytes, counted k = 0, 1, ... along each row and on into the next,
// are (k * factor) >> shift.
TNkDIB ByteImage(int width, int height, size_t factor, int shift)
{
    TNkDIB image(width, height, 24);
    size_t k = 0;
    for (int y = 0; y < height; ++y)
        for (int i = 0; i < width * 3; ++i)
            image.ScanLine(y)[i] = static_cast<uint8_t>((k++ * factor) >> shift);
    return image;
}

std::vector<PixelPath> FastPaths()
{
    std::vector<PixelPath> paths;
    for (PixelPath path : {PixelPath::Sse2, PixelPath::Avx2})
        if (PixelPathSupported(path)) paths.push_back(path);
    return paths;
}

TEST(BlendTest, FastBlendGivesTheTableBytesForEveryPairAtEveryStep)
{
    // 256 x 86 pixels without row padding: all 65,536 (new, old) byte pairs at once. The
    // odd-sized images put row ends inside a vector, and only their shared area changes.
    const TNkDIB fresh = ByteImage(256, 86, 1, 0), old = ByteImage(256, 86, 1, 8);
    const TNkDIB oddNew = ByteImage(37, 11, 7, 0), oddOld = ByteImage(45, 9, 13, 0);
    for (PixelPath path : FastPaths()) {
        for (int strength = 0; strength < 100; ++strength) {
            TNkDIB expected(256, 86, 24), actual(256, 86, 24);
            BlendFrameUsing(PixelPath::Table, kTable, fresh, old, expected, strength);
            BlendFrameUsing(path, kTable, fresh, old, actual, strength);
            ASSERT_TRUE(SameBytes(actual, expected)) << static_cast<int>(path) << " at " << strength;

            TNkDIB oddExpected = SolidImage(50, 12, 0x010203), oddActual = oddExpected;
            BlendFrameUsing(PixelPath::Table, kTable, oddNew, oddOld, oddExpected, strength);
            BlendFrameUsing(path, kTable, oddNew, oddOld, oddActual, strength);
            ASSERT_TRUE(SameBytes(oddActual, oddExpected)) << static_cast<int>(path) << " at " << strength;
            ASSERT_EQ(oddActual.Pixel(37, 8), 0x010203u);
            ASSERT_EQ(oddActual.Pixel(36, 9), 0x010203u);
        }
    }
}

TEST(BlendTest, FastTintGivesTheTableBytesForEveryValueAtEveryStep)
{
    // Unequal channels catch a colour applied to the wrong byte; odd left edges and
    // widths put the vectors out of step with the pixels.
    const TNkDIB original = ByteImage(256, 86, 1, 0);
    for (PixelPath path : FastPaths())
        for (TColor colour : {MakeColor(255, 0, 0), MakeColor(12, 130, 251), MakeColor(255, 255, 255)})
            for (const TRect& rect : {TRect{0, 0, 256, 86}, TRect{1, 1, 256, 80}, TRect{1, 0, 2, 86}})
                for (int strength = 1; strength <= 100; ++strength) {
                    TNkDIB expected = original, actual = original;
                    TintUsing(PixelPath::Table, kTable, expected, rect, colour, strength);
                    TintUsing(path, kTable, actual, rect, colour, strength);
                    ASSERT_TRUE(SameBytes(actual, expected)) << static_cast<int>(path) << " " << colour
                                                             << " at " << strength << " from " << rect.Left;
                }
}

TEST(BlendTest, BlendFrameStrengths)
{
    const TNkDIB white = SolidImage(640, 480, 0xFFFFFF), black = SolidImage(640, 480, 0);
    const TNkDIB dark = SolidImage(640, 480, 0x878787);
    TNkDIB out(640, 480, 24);
    BlendFrame(kTable, white, black, out, 50);
    EXPECT_TRUE(SameBytes(out, SolidImage(640, 480, MakeColor(124, 124, 124))));
    BlendFrame(kTable, white, black, out, 99);
    EXPECT_EQ(out.Pixel(639, 479), MakeColor(244, 244, 244));
    // From 100 up the new frame is copied exactly, not quantised to multiples of 4.
    for (int strength : {100, 101, 40000}) {
        BlendFrame(kTable, white, black, out, strength);
        EXPECT_TRUE(SameBytes(out, white)) << strength;
    }
    // Below 0 is step 0: the old frame with its two low bits cleared.
    for (int strength : {0, -1, -32768}) {
        BlendFrame(kTable, white, dark, out, strength);
        EXPECT_TRUE(SameBytes(out, SolidImage(640, 480, 0x848484))) << strength;
    }
}

TEST(BlendTest, TintTowardsAColour)
{
    TNkDIB image = SolidImage(640, 480, MakeColor(10, 200, 77));
    Tint(kTable, image, {0, 0, 640, 480}, MakeColor(255, 0, 0), 100);
    const uint8_t* last = image.ScanLine(479) + 639 * 3;
    EXPECT_EQ((std::vector<int>{last[0], last[1], last[2]}),
              (std::vector<int>{0, 0, 252}));  // blue, green, red
    TNkDIB over = SolidImage(640, 480, MakeColor(10, 200, 77));
    Tint(kTable, over, {0, 0, 640, 480}, MakeColor(255, 0, 0), 500);
    EXPECT_TRUE(SameBytes(over, image));

    // Nothing at all at 0 or below, not even step 0's quantising; right and bottom
    // excluded; clipped to the image.
    TNkDIB part = SolidImage(8, 8, 0x878787);
    Tint(kTable, part, {0, 0, 8, 8}, 0, 0);
    Tint(kTable, part, {0, 0, 8, 8}, 0, -5);
    EXPECT_TRUE(SameBytes(part, SolidImage(8, 8, 0x878787)));
    Tint(kTable, part, {2, 3, 5, 6}, 0, 50);
    EXPECT_EQ(part.Pixel(4, 5), 0x404040u);
    EXPECT_EQ(part.Pixel(5, 5), 0x878787u);
    EXPECT_EQ(part.Pixel(4, 6), 0x878787u);
    Tint(kTable, part, {-100, -100, 1000, 1000}, 0, 50);
    EXPECT_EQ(part.Pixel(7, 7), 0x404040u);
}

}  // namespace
}  // namespace kelva
