#include "graphics/NkDIB.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

namespace kelva {
namespace {

constexpr TColor kBlack = MakeColor(0, 0, 0);
constexpr TColor kWhite = MakeColor(255, 255, 255);

// Compares every pixel with a model; stops at the first difference.
void ExpectPixels(const TNkDIB& image, const std::function<TColor(int, int)>& expected)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            ASSERT_EQ(image.Pixel(x, y), expected(x, y)) << "at " << x << "," << y;
        }
}

TColor Pattern(int x, int y)
{
    return MakeColor(x * 17 + 1, y * 29 + 2, (x ^ y) * 7 + 3);
}

TNkDIB PatternImage(int width, int height)
{
    TNkDIB image(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.SetPixel(x, y, Pattern(x, y));
    return image;
}

TEST(NkDIBTest, ResizingKeepsTheSharedPartAndClearsTheRest)
{
    for (int bits : {1, 8, 24}) {
        SCOPED_TRACE(bits);
        TNkDIB image(10, 3, bits);
        image.SetPalette({kBlack, kWhite});
        image.FillRect(image.BoundsRect(), kWhite);
        image.SetSize(3, 2);
        image.SetSize(12, 4);
        ExpectPixels(image, [](int x, int y) { return x < 3 && y < 2 ? kWhite : kBlack; });
    }
}

TEST(NkDIBTest, ConversionsGoThroughThePalette)
{
    TNkDIB image(4, 1, 8);
    image.SetPalette({MakeColor(255, 0, 0), MakeColor(0, 0, 255), MakeColor(9, 9, 9)});
    for (int x = 0; x < 4; ++x) image.SetPixelIndex(x, 0, x);  // index 3 is past the palette
    image.SetBitCount(24);
    EXPECT_EQ(image.Pixel(0, 0), MakeColor(255, 0, 0));
    EXPECT_EQ(image.Pixel(2, 0), MakeColor(9, 9, 9));
    EXPECT_EQ(image.Pixel(3, 0), kBlack);
    image.SetPixel(3, 0, MakeColor(10, 8, 12));
    image.SetBitCount(8);  // back onto the kept palette, the last pixel to its nearest entry
    EXPECT_EQ(image.PixelIndex(0, 0), 0);
    EXPECT_EQ(image.PixelIndex(1, 0), 1);
    EXPECT_EQ(image.PixelIndex(3, 0), 2);

    TNkDIB photo(3, 1, 24);
    photo.SetPixel(0, 0, MakeColor(255, 0, 0));
    photo.SetPixel(1, 0, MakeColor(240, 110, 10));
    photo.SetPixel(2, 0, MakeColor(200, 200, 200));
    TNkDIB cube = photo;
    cube.SetBitCount(8);  // no palette: the 6 x 6 x 6 cube
    EXPECT_EQ(cube.PaletteSize(), 216);
    EXPECT_EQ(cube.Pixel(0, 0), MakeColor(255, 0, 0));
    EXPECT_EQ(cube.Pixel(1, 0), MakeColor(255, 102, 0));
    photo.SetBitCount(1);  // no palette: black and white
    EXPECT_EQ(photo.Palette(), (std::vector<TColor>{kBlack, kWhite}));
    EXPECT_EQ(photo.PixelIndex(0, 0), 0);
    EXPECT_EQ(photo.PixelIndex(2, 0), 1);
    photo.SetBitCount(8);
    EXPECT_EQ(photo.PixelIndex(2, 0), 1);
    EXPECT_EQ(photo.PaletteSize(), 2);
}

TEST(NkDIBTest, CopiesAreDeepAndDecodedPicturesAreTakenOver)
{
    TNkDIB a = PatternImage(3, 3);
    TNkDIB b;
    b.Assign(a);
    b.SetPixel(0, 0, kWhite);
    EXPECT_EQ(a.Pixel(0, 0), Pattern(0, 0));

    DecodedPicture picture{2, 2, 8, std::vector<uint8_t>(16, 0)};
    picture.Pixels[8 + 3] = 200;  // blue of (1, 1)
    b.Assign(std::move(picture));
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.BitCount(), 24);
    EXPECT_EQ(b.Pixel(1, 1), MakeColor(0, 0, 200));
    EXPECT_THROW(b.Assign(DecodedPicture{2, 2, 6, std::vector<uint8_t>(12)}), ImageError);
    EXPECT_THROW(b.Assign(DecodedPicture{2, 2, 8, std::vector<uint8_t>(15)}), ImageError);
}

TEST(NkDIBDrawTest, FillRectClipsAtEveryEdge)
{
    const TRect rects[] = {{-5, 2, 4, 6},    {3, -7, 9, 2}, {15, 1, 40, 9}, {2, 8, 7, 30},
                           {-9, -9, 99, 99}, {5, 5, 5, 9},  {21, 0, 30, 5}};
    for (int bits : {1, 8, 24}) {
        for (const TRect& r : rects) {
            SCOPED_TRACE(testing::Message()
                         << bits << " bits, " << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom);
            TNkDIB image(21, 10, bits);  // odd width: a 1-bit row ends inside a byte
            image.SetPalette({kBlack, kWhite});
            image.FillRect(r, kWhite);
            ExpectPixels(image, [&](int x, int y) { return r.Contains(x, y) ? kWhite : kBlack; });
        }
    }
}

// Copies with a per-pixel model of clipping: every target pixel inside both images takes
// the matching source pixel, everything else stays.
TEST(NkDIBDrawTest, CopyRectClipsAgainstBothImages)
{
    const TNkDIB source = PatternImage(9, 7);
    for (int bits : {24, 8, 1}) {
        TNkDIB from = source;
        if (bits != 24) from.SetBitCount(bits);
        for (int dx = -6; dx <= 10; dx += 2)
            for (int dy = -5; dy <= 8; dy += 3)
                for (const TRect& s : {TRect{-3, -2, 6, 5}, TRect{4, 3, 12, 10}, TRect{0, 0, 9, 7}}) {
                    SCOPED_TRACE(testing::Message() << bits << " bits, to " << dx << "," << dy << " from "
                                                    << s.Left << "," << s.Top);
                    TNkDIB target(11, 8, bits);
                    target.SetPalette(from.Palette());
                    target.FillRect(target.BoundsRect(), kWhite);
                    const TNkDIB before = target;
                    target.CopyRect(TRect::Bounds(dx, dy, s.Width(), s.Height()), from, s);
                    ExpectPixels(target, [&](int x, int y) {
                        const int sx = x - dx + s.Left, sy = y - dy + s.Top;
                        const bool inside = x >= dx && y >= dy && x < dx + s.Width() && y < dy + s.Height() &&
                                            from.BoundsRect().Contains(sx, sy);
                        return inside ? from.Pixel(sx, sy) : before.Pixel(x, y);
                    });
                }
    }
}

TEST(NkDIBDrawTest, CopyBetweenFormatsAndWithinOneImage)
{
    TNkDIB indexed(4, 1, 8);
    indexed.SetPalette({kBlack, MakeColor(200, 0, 0), MakeColor(0, 200, 0)});
    TNkDIB photo = PatternImage(4, 1);
    photo.SetPixel(1, 0, MakeColor(190, 10, 5));
    indexed.CopyRect({1, 0, 3, 1}, photo, {1, 0, 3, 1});
    EXPECT_EQ(indexed.PixelIndex(1, 0), 1);  // nearest palette entry
    photo.Draw(-2, 0, indexed);
    EXPECT_EQ(photo.Pixel(0, 0), MakeColor(0, 0, 0));
    EXPECT_EQ(photo.Pixel(2, 0), Pattern(2, 0));

    // Overlapping parts of one image behave as a copy from the picture before the copy.
    TNkDIB image = PatternImage(8, 6);
    image.CopyRect({1, 1, 8, 6}, image, {0, 0, 7, 5});
    ExpectPixels(image,
                 [](int x, int y) { return x >= 1 && y >= 1 ? Pattern(x - 1, y - 1) : Pattern(x, y); });
}

TEST(NkDIBDrawTest, CopyRectStretchesWithTheNearestPixel)
{
    const TNkDIB source = PatternImage(2, 2);
    TNkDIB target(5, 4, 24);
    target.CopyRect({-1, 0, 3, 4}, source, source.BoundsRect());  // twice the size, one column cut off
    ExpectPixels(target, [](int x, int y) { return x < 3 ? Pattern((x + 1) / 2, y / 2) : kBlack; });
}

TEST(NkDIBDrawTest, PolygonOfARectangleFillsExactlyThatRectangle)
{
    TNkDIB image(12, 9, 24);
    const TPoint corners[] = {{2, 3}, {9, 3}, {9, 7}, {2, 7}};
    image.FillPolygon(corners, kWhite);
    ExpectPixels(image, [](int x, int y) { return x >= 2 && x < 9 && y >= 3 && y < 7 ? kWhite : kBlack; });
    // Touched pixels: the right and bottom edges lie in the next column and row.
    image.FillPolygon(corners, kWhite, FillRule::EvenOdd, PolygonCoverage::Touched);
    ExpectPixels(image, [](int x, int y) { return x >= 2 && x <= 9 && y >= 3 && y <= 7 ? kWhite : kBlack; });
}

TEST(NkDIBDrawTest, PolygonsAreClippedAtEveryEdge)
{
    TNkDIB image(13, 11, 1);
    image.SetPalette({kBlack, kWhite});
    const TPoint diamond[] = {{6, -100}, {200, 5}, {6, 100}, {-200, 5}};
    image.FillPolygon(diamond, kWhite);
    ExpectPixels(image, [](int, int) { return kWhite; });

    TNkDIB triangle(12, 12, 8);
    triangle.SetPalette({kBlack, kWhite});
    const TPoint corners[] = {{0, 0}, {10, 0}, {0, 10}};
    triangle.FillPolygon(corners, kWhite);
    ExpectPixels(triangle, [](int x, int y) { return x + y <= 8 ? kWhite : kBlack; });
}

TEST(NkDIBDrawTest, FillRulesDifferInsideAStar)
{
    std::vector<TPoint> star;
    for (int i = 0; i < 5; ++i) {
        const double angle = i * 4 * std::numbers::pi / 5;  // every second point of a pentagon
        star.push_back({static_cast<int>(std::lround(50 + 45 * std::sin(angle))),
                        static_cast<int>(std::lround(50 - 45 * std::cos(angle)))});
    }
    TNkDIB evenOdd(100, 100, 24), nonZero(100, 100, 24);
    evenOdd.FillPolygon(star, kWhite, FillRule::EvenOdd);
    nonZero.FillPolygon(star, kWhite, FillRule::NonZero);
    EXPECT_EQ(evenOdd.Pixel(50, 50), kBlack);
    EXPECT_EQ(nonZero.Pixel(50, 50), kWhite);
    EXPECT_EQ(evenOdd.Pixel(50, 10), kWhite);  // a point of the star
    EXPECT_EQ(nonZero.Pixel(50, 10), kWhite);
}

// The rotating shutter's wedges, computed as that transition does, must together cover
// the whole 640 x 480 one-bit mask.
TEST(NkDIBDrawTest, ClockSweepWedgesCoverTheStage)
{
    for (int direction : {1, 2}) {
        SCOPED_TRACE(direction);
        TNkDIB mask(640, 480, 1);
        mask.SetPalette({kBlack, kWhite});
        const long double pi = std::numbers::pi_v<long double>;
        // Steps of 7 per cent, each reaching 2 per cent further, as after steady ticks.
        for (int a = 0, b = 0, elapsed = 7; b < 100; a = elapsed, elapsed += 7) {
            b = std::min(elapsed + 2, 100);
            const int a2 = direction == 2 ? 100 - a : a, b2 = direction == 2 ? 100 - b : b;
            const long double ta = a2 / 100.0L * 2 * pi, tb = b2 / 100.0L * 2 * pi;
            TPoint p0{320, 240}, p3{320, 240};
            const TPoint p1{static_cast<int>(std::sin(ta) * 430) + 320,
                            static_cast<int>(std::cos(ta) * -430) + 240};
            const TPoint p2{static_cast<int>(std::sin(tb) * 430) + 320,
                            static_cast<int>(std::cos(tb) * -430) + 240};
            if (b < 25)
                p3.X += 2;
            else if (b < 50)
                p0.X += 2;
            else if (b < 75)
                p3.X -= 2;
            else
                p0.X -= 2;
            const TPoint wedge[] = {p0, p1, p2, p3};
            mask.FillPolygon(wedge, kWhite, FillRule::EvenOdd, PolygonCoverage::Touched);
        }
        int uncovered = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) uncovered += mask.PixelIndex(x, y) == 0;
        EXPECT_EQ(uncovered, 0);
    }
}

TEST(NkDIBDrawTest, RoundRectCutsOnlyTheCorners)
{
    TNkDIB image(30, 20, 24);
    image.FillRoundRect({2, 2, 28, 18}, 10, 8, kWhite);
    EXPECT_EQ(image.Pixel(2, 2), kBlack);
    EXPECT_EQ(image.Pixel(27, 17), kBlack);
    for (const TPoint p : {TPoint{15, 2}, TPoint{2, 10}, TPoint{27, 10}, TPoint{15, 17}, TPoint{6, 3}}) {
        EXPECT_EQ(image.Pixel(p.X, p.Y), kWhite) << p.X << "," << p.Y;
    }
    // Symmetric: the corners mirror each other.
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(image.Pixel(x, y), image.Pixel(29 - x, 19 - y)) << x << "," << y;
}

}  // namespace
}  // namespace kelva
