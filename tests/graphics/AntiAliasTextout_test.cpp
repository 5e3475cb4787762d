// The text renderer's arithmetic on made-up letters: coverage levels, decorations, the
// plain outline marks, clipping and the size limits.
#include "graphics/AntiAliasTextout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "graphics/FakeFontRasteriser.h"

namespace kelva {
namespace {

using test::FakeFontRasteriser;

TNkDIB Filled(int width, int height, TColor color)
{
    TNkDIB image(width, height, 24);
    image.FillRect(image.BoundsRect(), color);
    return image;
}

TColor Grey(int level)
{
    return MakeColor(level, level, level);
}

// Smoothed drawing puts the letters at (F, F) of the double-size image; output pixel
// (i, j) counts samples (2i .. 2i+F-1, 2j .. 2j+F-1). The fake's ink is given relative
// to (F, F).

TEST(AntiAliasLevels, CountsPickOneOfFilterSizeSquaredPlusOneLevels)
{
    FakeFontRasteriser nine;
    nine.AddBlock(1, 1, 3, 3);     // samples 4..6: output (2, 2) counts 9, (1, 2) counts 3
    nine.Ink.push_back({17, 17});  // sample 20: output (10, 10) counts 1
    TAntiAliasTextout renderer(nine);
    TNkDIB target = Filled(40, 40, Grey(0));
    renderer.Target = &target;
    renderer.TextColor = Grey(255);
    renderer.DrawText(5, 7, "A");
    EXPECT_EQ(target.Pixel(5 + 2, 7 + 2), Grey(255));
    EXPECT_EQ(target.Pixel(5 + 1, 7 + 2), Grey(84));    // 255 x 33 div 100
    EXPECT_EQ(target.Pixel(5 + 10, 7 + 10), Grey(28));  // 255 x 11 div 100
    EXPECT_EQ(target.Pixel(5 + 15, 7 + 3), Grey(0));

    // F = 2: blocks of four that do not overlap, five levels.
    FakeFontRasteriser four;
    four.AddBlock(2, 2, 2, 2);   // samples 4..5: output (2, 2) counts all 4, (1, 1) none
    four.Ink.push_back({8, 8});  // sample 10: output (5, 5) counts 1
    TAntiAliasTextout small(four);
    small.FilterSize = 2;
    target = Filled(20, 20, Grey(0));
    small.Target = &target;
    small.TextColor = Grey(255);
    small.DrawText(0, 0, "A");
    EXPECT_EQ(target.Pixel(2, 2), Grey(255));
    EXPECT_EQ(target.Pixel(1, 1), Grey(0));
    EXPECT_EQ(target.Pixel(5, 5), Grey(63));  // 255 x 25 div 100
    EXPECT_EQ(target.Pixel(4, 4), Grey(0));
}

TEST(AntiAliasLevels, BlendsEachByteOverTheTarget)
{
    FakeFontRasteriser fake;
    // Five of the nine samples under output (3, 3): keep 45 %, add 55 % of the colour.
    fake.Ink = {{3, 3}, {4, 3}, {5, 3}, {3, 4}, {4, 4}};
    TAntiAliasTextout renderer(fake);
    TNkDIB target = Filled(20, 20, Grey(200));
    renderer.Target = &target;
    renderer.TextColor = MakeColor(0, 100, 200);

    renderer.DrawText(0, 0, "A");

    // Red byte 0: 200 x 45 div 100 = 90; green 90 + 55; blue 90 + 110.
    EXPECT_EQ(target.Pixel(3, 3), MakeColor(90, 145, 200));
    EXPECT_EQ(target.Pixel(9, 9), Grey(200)) << "count 0 leaves the target";
}

TEST(AntiAliasDecoration, ShadowFallsOneDownRightUnderTheText)
{
    FakeFontRasteriser fake;
    fake.AddBlock(2, 2, 4, 4);  // F = 2: outputs (2..3, 2..3) fully covered
    TAntiAliasTextout renderer(fake);
    renderer.FilterSize = 2;
    renderer.Decoration = kDecorationShadow;
    const TColor background = MakeColor(30, 60, 90);
    const TColor text = MakeColor(250, 200, 150);
    const TColor edge = MakeColor(5, 10, 15);
    TNkDIB target = Filled(30, 30, background);
    renderer.Target = &target;
    renderer.TextColor = text;
    renderer.EdgeColor = edge;

    renderer.DrawText(10, 10, "A");

    EXPECT_EQ(target.Pixel(12, 12), text);
    EXPECT_EQ(target.Pixel(13, 13), text) << "text goes over the shadow";
    EXPECT_EQ(target.Pixel(14, 14), edge);
    EXPECT_EQ(target.Pixel(14, 13), edge);
    EXPECT_EQ(target.Pixel(14, 12), background);
    EXPECT_EQ(target.Pixel(11, 11), background);
}

TEST(AntiAliasDecoration, OutlineRingTakesTheEdgeColourByItsOwnCoverage)
{
    FakeFontRasteriser fake;
    fake.AddBlock(0, 0, 12, 12);  // samples 3..14; thickened 1..16
    TAntiAliasTextout renderer(fake);
    renderer.Decoration = kDecorationOutline;
    TNkDIB target = Filled(30, 30, Grey(200));
    renderer.Target = &target;
    renderer.TextColor = MakeColor(10, 20, 250);
    renderer.EdgeColor = MakeColor(255, 0, 100);

    renderer.DrawText(0, 0, "A");

    // Fully covered: exactly the text colour, whatever was below.
    EXPECT_EQ(target.Pixel(3, 3), MakeColor(10, 20, 250));
    // Outside the letter, 6 of 9 thickened samples: keep 34 %, add 66 % of the edge.
    EXPECT_EQ(target.Pixel(0, 4), MakeColor(68 + 168, 68, 68 + 66));
    // 3 of 9 thickened samples on the right: keep 67 %, add 33 %.
    EXPECT_EQ(target.Pixel(8, 4), MakeColor(134 + 84, 134, 134 + 33));
    // Letter corner, 4 of 9: edge at level 5 plus text at level 4, background gone.
    EXPECT_EQ(target.Pixel(1, 1), MakeColor(140 + 4, 0 + 8, 55 + 110));
    EXPECT_EQ(target.Pixel(10, 10), Grey(200));
}

TEST(AntiAliasDecoration, PlainOutlineMarksEdgesAroundFullLetterPixels)
{
    FakeFontRasteriser fake;
    fake.ExtentAt = [](int) { return TextExtent{6, 5}; };  // box 10 x 11
    fake.AddBlock(0, 0, 2, 3);                             // drawn at (2, 2) of the scratch image
    fake.AddBlock(3, 0, 1, 3);                             // a one-pixel gap between the bars
    TAntiAliasTextout renderer(fake);
    renderer.Smooth = false;
    renderer.Decoration = kDecorationOutline;
    const TColor background = MakeColor(1, 2, 3);
    TNkDIB target = Filled(20, 20, background);
    renderer.Target = &target;
    renderer.TextColor = Grey(255);
    renderer.EdgeColor = MakeColor(200, 0, 0);

    EXPECT_EQ(renderer.DrawText(3, 4, "A"), TRect::Bounds(3, 4, 10, 11));

    // Left/right marks first, then above/below every marked run: square corners on the
    // outside, and the gap between the bars becomes edge.
    const char* expected[] = {
        "..........",  //
        ".EEEEEE...",  //
        ".ETTETE...",  //
        ".ETTETE...",  //
        ".ETTETE...",  //
        ".EEEEEE...",  //
        "..........",
    };
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const int i = x - 3;
            const int j = y - 4;
            char mark = '.';
            if (i >= 0 && i < 10 && j >= 0 && j < 7) mark = expected[j][i];
            const TColor want = mark == 'T' ? Grey(255) : mark == 'E' ? MakeColor(200, 0, 0) : background;
            ASSERT_EQ(target.Pixel(x, y), want) << "at " << x << "," << y;
        }
    }
}

TEST(AntiAliasDecoration, PlainTextAndShadowAreHardEdged)
{
    FakeFontRasteriser fake;
    fake.ExtentAt = [](int) { return TextExtent{8, 9}; };
    fake.AddBlock(1, 1, 3, 3);
    TAntiAliasTextout renderer(fake);
    renderer.Smooth = false;
    renderer.Decoration = kDecorationShadow;
    TNkDIB target = Filled(20, 20, Grey(50));
    renderer.Target = &target;
    renderer.TextColor = Grey(255);
    renderer.EdgeColor = Grey(0);

    EXPECT_EQ(renderer.DrawText(5, 5, "A"), TRect::Bounds(5, 5, 8, 9));
    EXPECT_EQ(target.Pixel(6, 6), Grey(255));
    EXPECT_EQ(target.Pixel(8, 8), Grey(255));
    EXPECT_EQ(target.Pixel(9, 9), Grey(0));
    EXPECT_EQ(target.Pixel(9, 6), Grey(50));
    EXPECT_EQ(target.Pixel(5, 5), Grey(50));
}

TEST(AntiAliasMeasure, HalvesTheDoubleSizeExtentPlusTheFilter)
{
    FakeFontRasteriser fake;
    fake.ExtentAt = [](int height) { return TextExtent{height + 1, height}; };
    TAntiAliasTextout renderer(fake);
    renderer.Font.Height = 28;

    EXPECT_EQ(renderer.MeasureText("A"), (TPoint{30, 29}));  // (57 + 3) / 2, (56 + 3) / 2
    EXPECT_EQ(fake.Heights.back(), 56);
    renderer.FilterSize = 2;
    EXPECT_EQ(renderer.MeasureText("A"), (TPoint{29, 29}));
    renderer.Smooth = false;
    EXPECT_EQ(renderer.MeasureText("A"), (TPoint{29, 29})) << "plain drawing measures the same";

    fake.ExtentAt = [](int) { return TextExtent{56, 56}; };
    renderer.FilterSize = 3;
    EXPECT_EQ(renderer.MeasureText("A"), (TPoint{29, 29}));
}

TEST(AntiAliasMeasure, DoubleSizeGoesThroughWholePoints)
{
    EXPECT_EQ(DoubledPixelHeight(28), 56);
    EXPECT_EQ(DoubledPixelHeight(16), 32);
    EXPECT_EQ(DoubledPixelHeight(12), 24);
    EXPECT_EQ(DoubledPixelHeight(13), 27);  // 9.75 points round to 10
    EXPECT_EQ(DoubledPixelHeight(18), 37);  // 13.5 to 14
    EXPECT_EQ(DoubledPixelHeight(22), 45);  // 16.5 to 17
    EXPECT_EQ(DoubledPixelHeight(0), 0);
    EXPECT_EQ(DoubledPixelHeight(-28), -56);

    FakeFontRasteriser fake;
    TAntiAliasTextout renderer(fake);
    renderer.Font.Height = 13;
    EXPECT_EQ(renderer.MeasureText("A"), (TPoint{15, 15}));  // (27 + 3) / 2
}

TEST(AntiAliasMeasure, DrawnBoxDependsOnTheMode)
{
    FakeFontRasteriser fake;
    fake.ExtentAt = [](int height) { return TextExtent{height + 1, height}; };
    TAntiAliasTextout renderer(fake);
    renderer.Font.Height = 28;
    TNkDIB target = Filled(100, 100, Grey(0));
    renderer.Target = &target;

    EXPECT_EQ(renderer.DrawText(4, 5, "A"), TRect::Bounds(4, 5, 31, 31));  // (57 + 6) / 2, (56 + 6) / 2
    renderer.FilterSize = 2;
    EXPECT_EQ(renderer.DrawText(4, 5, "A"), TRect::Bounds(4, 5, 30, 30));
    renderer.Smooth = false;
    EXPECT_EQ(renderer.DrawText(4, 5, "A"), TRect::Bounds(4, 5, 29, 28));
    renderer.Decoration = kDecorationOutline;
    EXPECT_EQ(renderer.DrawText(4, 5, "A"), TRect::Bounds(4, 5, 33, 34));
}

// A scattered letter drawn at many places on a small target must look exactly like the
// same part of the letter drawn whole on a large one.
TEST(AntiAliasClipping, EveryModeIsCutCleanlyAtEveryEdge)
{
    FakeFontRasteriser fake;
    fake.ExtentAt = [](int) { return TextExtent{20, 20}; };
    uint32_t seed = 7;
    for (int n = 0; n < 120; ++n) {
        seed = seed * 1103515245 + 12345;
        fake.Ink.push_back({static_cast<int>(seed >> 8) % 20, static_cast<int>(seed >> 20) % 20});
    }
    fake.AddBlock(0, 0, 5, 5);
    const TColor background = MakeColor(40, 80, 120);
    const TPoint places[] = {{-3, 5},  {5, -3},  {25, 20},   {-13, -11}, {29, 23}, {30, 24},
                             {-30, 3}, {-21, 0}, {500, 500}, {-500, 5},  {12, 7},  {-1, -1}};

    for (const bool smooth : {true, false}) {
        for (const uint8_t decoration : {kDecorationNone, kDecorationOutline, kDecorationShadow}) {
            TAntiAliasTextout renderer(fake);
            renderer.Smooth = smooth;
            renderer.Decoration = decoration;
            renderer.TextColor = MakeColor(250, 240, 10);
            renderer.EdgeColor = MakeColor(0, 30, 200);
            TNkDIB whole = Filled(150, 150, background);
            renderer.Target = &whole;
            renderer.DrawText(50, 50, "A");

            for (const TPoint& place : places) {
                TNkDIB small = Filled(30, 24, background);
                renderer.Target = &small;
                renderer.DrawText(place.X, place.Y, "A");
                for (int y = 0; y < small.Height(); ++y) {
                    for (int x = 0; x < small.Width(); ++x) {
                        const int wx = x - place.X + 50;
                        const int wy = y - place.Y + 50;
                        const TColor want =
                            whole.BoundsRect().Contains(wx, wy) ? whole.Pixel(wx, wy) : background;
                        ASSERT_EQ(small.Pixel(x, y), want)
                            << "smooth " << smooth << " decoration " << int{decoration} << " drawn at "
                            << place.X << "," << place.Y << ", pixel " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(AntiAliasClipping, OversizedTextIsCutToTheScratchImages)
{
    FakeFontRasteriser fake;
    fake.ExtentAt = [](int) { return TextExtent{3000, 3000}; };
    for (int k = 0; k < 3000; ++k) fake.Ink.push_back({k, k});
    TAntiAliasTextout renderer(fake);
    TNkDIB target = Filled(640, 480, Grey(0));
    renderer.Target = &target;
    renderer.TextColor = Grey(255);
    renderer.Decoration = kDecorationOutline;

    EXPECT_EQ(renderer.DrawText(10, 10, "A"), TRect::Bounds(10, 10, 255, 255));
    EXPECT_NE(target.Pixel(10 + 100, 10 + 100), Grey(0)) << "what fits is drawn";
    renderer.FilterSize = 2;
    EXPECT_EQ(renderer.DrawText(10, 10, "A"), TRect::Bounds(10, 10, 256, 256));
    renderer.FilterSize = 0;  // taken as 1
    EXPECT_EQ(renderer.DrawText(10, 10, "A"), TRect::Bounds(10, 10, 256, 256));
    renderer.FilterSize = 200;  // taken as 16
    EXPECT_EQ(renderer.DrawText(10, 10, "A"), TRect::Bounds(10, 10, 249, 249));
    EXPECT_EQ(renderer.MeasureText("A"), (TPoint{1508, 1508}));
    renderer.Smooth = false;
    EXPECT_EQ(renderer.DrawText(10, 10, "A"), TRect::Bounds(10, 10, 256, 256));
    renderer.Decoration = kDecorationShadow;
    EXPECT_EQ(renderer.DrawText(10, 10, "A"), TRect::Bounds(10, 10, 3000, 3000));
    EXPECT_EQ(target.Pixel(400, 400), Grey(255)) << "plain text is not limited";
}

TEST(AntiAliasClipping, UnsuitableTargetsAreLeftAlone)
{
    FakeFontRasteriser fake;
    fake.AddBlock(0, 0, 10, 10);
    TAntiAliasTextout renderer(fake);
    renderer.TextColor = Grey(255);
    EXPECT_EQ(renderer.DrawText(1, 2, "A"), TRect::Bounds(1, 2, 15, 15)) << "no target";

    TNkDIB paletted(20, 20, 8);
    renderer.Target = &paletted;
    renderer.DrawText(0, 0, "A");
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(paletted.PixelIndex(x, y), 0);
}

}  // namespace
}  // namespace kelva

namespace kelva {
namespace {

// Letters that differ with every setting and text that reaches the rasteriser, so a
// renderer that drew a piece it kept for other settings would draw the wrong letters.
class SettingsInk : public FakeFontRasteriser {
public:
    void DrawText(const FontSpec& font, std::string_view text, const GreyBuffer& target, int x, int y,
                  RasterMode mode) override
    {
        const int seed = font.Height * 7 + font.Bold * 13 + font.Escapement +
                         static_cast<int>(font.Face.size()) * 3 + static_cast<int>(text.size()) * 5 +
                         (text.empty() ? 0 : text[0]);
        Ink.clear();
        AddBlock(seed % 5, seed % 7, 3 + seed % 4, 2 + seed % 3);
        FakeFontRasteriser::DrawText(font, text, target, x, y, mode);
    }
};

// `text` drawn at (3, 4) over grey by `renderer`, or by a fresh renderer set up like it.
TNkDIB DrawnBy(TAntiAliasTextout& renderer, const char* text)
{
    TNkDIB image = Filled(40, 40, Grey(90));
    renderer.Target = &image;
    renderer.DrawText(3, 4, text);
    renderer.Target = nullptr;
    return image;
}
TNkDIB DrawnFresh(FontRasteriser& rasteriser, const TAntiAliasTextout& like, const char* text)
{
    TAntiAliasTextout fresh(rasteriser);
    fresh.Font = like.Font;
    fresh.FilterSize = like.FilterSize;
    fresh.Decoration = like.Decoration;
    fresh.TextColor = like.TextColor;
    fresh.EdgeColor = like.EdgeColor;
    return DrawnBy(fresh, text);
}
bool SamePixels(const TNkDIB& a, const TNkDIB& b)
{
    return std::memcmp(a.Bits(), b.Bits(), static_cast<size_t>(a.Stride()) * a.Height()) == 0;
}

TEST(AntiAliasCache, AKeptPieceDrawsAsAFreshRendererWould)
{
    using Change = std::function<void(TAntiAliasTextout&)>;
    const std::vector<std::pair<const char*, Change>> steps = {
        {"nothing", [](TAntiAliasTextout&) {}},
        {"height", [](TAntiAliasTextout& r) { r.Font.Height = 17; }},
        {"bold", [](TAntiAliasTextout& r) { r.Font.Bold = true; }},
        {"face", [](TAntiAliasTextout& r) { r.Font.Face = kMinchoFace; }},
        {"escapement", [](TAntiAliasTextout& r) { r.Font.Escapement = 900; }},
        {"filter", [](TAntiAliasTextout& r) { r.FilterSize = 2; }},
        {"outline", [](TAntiAliasTextout& r) { r.Decoration = kDecorationOutline; }},
        {"shadow", [](TAntiAliasTextout& r) { r.Decoration = kDecorationShadow; }},
        {"colours", [](TAntiAliasTextout& r) { r.TextColor = MakeColor(9, 200, 90); }},
    };
    SettingsInk ink;
    TAntiAliasTextout reused(ink);
    for (const auto& [name, change] : steps) {
        change(reused);
        for (const char* text : {"A", "BB", "A"}) {
            ASSERT_TRUE(SamePixels(DrawnBy(reused, text), DrawnFresh(ink, reused, text)))
                << "after changing the " << name << ", text " << text;
        }
    }
    // A full cache starts afresh and still draws right.
    for (size_t n = 0; n <= TAntiAliasTextout::kMaxCachedPieces; ++n)
        reused.DrawText(0, 0, std::to_string(n));
    EXPECT_TRUE(SamePixels(DrawnBy(reused, "A"), DrawnFresh(ink, reused, "A")));
}

// Smoothed drawing by its definition, one pixel at a time: count the lit samples of each
// output pixel's block, then blend level by level in the order the decoration asks for.
class ReferenceSmoothText {
public:
    ReferenceSmoothText(const std::vector<TPoint>& ink, TextExtent extent, int filter)
        : m_filter(filter),
          m_width((extent.Width + 2 * filter) / 2),
          m_height((extent.Height + 2 * filter) / 2)
    {
        m_text = Counts(ink, {{0, 0}});
        m_edge = Counts(ink, {{0, 0}, {-2, -2}, {-2, 2}, {2, -2}, {2, 2}});
    }

    void Draw(TNkDIB& target, int x, int y, uint8_t decoration, TColor text, TColor edge) const
    {
        const int samples = m_filter * m_filter;
        const auto percent = [&](int count) { return count * 100 / samples; };
        const auto share = [&](TColor color, int count, int byte) {
            const int value = byte == 0 ? ColorBlue(color) : byte == 1 ? ColorGreen(color) : ColorRed(color);
            return value * percent(count) / 100;
        };
        const auto each = [&](const std::vector<int>& counts, int dx, int dy, auto&& pixel) {
            for (int j = 0; j < m_height; ++j) {
                for (int i = 0; i < m_width; ++i) {
                    const int tx = x + dx + i;
                    const int ty = y + dy + j;
                    const int count = counts[j * m_width + i];
                    if (count == 0 || tx < 0 || ty < 0 || tx >= target.Width() || ty >= target.Height())
                        continue;
                    for (int b = 0; b < 3; ++b) {
                        uint8_t& byte = target.ScanLine(ty)[tx * 3 + b];
                        byte = static_cast<uint8_t>(pixel(byte, count, b));
                    }
                }
            }
        };
        const auto blend = [&](TColor color) {
            return [&, color](int old, int count, int b) {
                return old * (100 - percent(count)) / 100 + share(color, count, b);
            };
        };
        if (decoration == kDecorationShadow) each(m_text, 1, 1, blend(edge));
        if (decoration == kDecorationOutline) {
            each(m_edge, 0, 0, blend(edge));
            each(m_text, 0, 0, [&](int, int count, int b) {
                return static_cast<uint8_t>(share(edge, samples - count, b)) +
                       static_cast<uint8_t>(share(text, count, b));
            });
        } else {
            each(m_text, 0, 0, blend(text));
        }
    }

private:
    std::vector<int> Counts(const std::vector<TPoint>& ink, const std::vector<TPoint>& shifts) const
    {
        const int side = 2 * std::max(m_width, m_height) + 2 * m_filter + 8;
        std::vector<bool> lit(static_cast<size_t>(side) * side);
        for (const TPoint& p : ink) {
            for (const TPoint& s : shifts) lit[(m_filter + s.Y + p.Y) * side + m_filter + s.X + p.X] = true;
        }
        std::vector<int> counts(static_cast<size_t>(m_width) * m_height);
        for (int j = 0; j < m_height; ++j) {
            for (int i = 0; i < m_width; ++i) {
                for (int v = 0; v < m_filter; ++v) {
                    for (int u = 0; u < m_filter; ++u)
                        counts[j * m_width + i] += lit[(2 * j + v) * side + 2 * i + u];
                }
            }
        }
        return counts;
    }

    int m_filter;
    int m_width;
    int m_height;
    std::vector<int> m_text;
    std::vector<int> m_edge;
};

TEST(AntiAliasReference, EveryPixelMatchesTheDefinitionForRandomLettersColoursAndPlaces)
{
    std::mt19937 random(20261209);
    const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const TextExtent extent{30, 26};
    for (const int filter : {2, 3, 4}) {
        for (const uint8_t decoration : {kDecorationNone, kDecorationShadow, kDecorationOutline}) {
            FakeFontRasteriser fake;
            fake.ExtentAt = [extent](int) { return extent; };
            for (int n = 0; n < 300; ++n) fake.Ink.push_back({below(extent.Width), below(extent.Height)});
            const ReferenceSmoothText reference(fake.Ink, extent, filter);
            TAntiAliasTextout renderer(fake);
            renderer.FilterSize = static_cast<uint8_t>(filter);
            renderer.Decoration = decoration;
            TNkDIB drawn(48, 40, 24);
            for (int y = 0; y < drawn.Height(); ++y) {
                for (int i = 0; i < drawn.Stride(); ++i)
                    drawn.ScanLine(y)[i] = static_cast<uint8_t>(random());
            }
            TNkDIB expected = drawn;
            renderer.Target = &drawn;
            // Overlapping pieces, some cut at an edge; the colours change between draws.
            for (int draw = 0; draw < 12; ++draw) {
                const int x = below(60) - 12;
                const int y = below(52) - 12;
                renderer.TextColor = MakeColor(below(256), below(256), below(256));
                renderer.EdgeColor =
                    draw % 3 == 0 ? renderer.EdgeColor : MakeColor(below(256), below(256), below(256));
                renderer.DrawText(x, y, "A");
                reference.Draw(expected, x, y, decoration, renderer.TextColor, renderer.EdgeColor);
                ASSERT_TRUE(SamePixels(drawn, expected))
                    << "filter " << filter << ", decoration " << int{decoration} << ", draw " << draw;
            }
        }
    }
}

}  // namespace
}  // namespace kelva
