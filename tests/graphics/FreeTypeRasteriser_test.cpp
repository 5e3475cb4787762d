// The FreeType rasteriser with the installed fonts. Glyph shapes belong to the fonts, so
// these tests compare properties: ink drawn, widths ordered, faces told apart.
#include "platform/freetype/FreeTypeRasteriser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/MessageLayout.h"
#include "graphics/AntiAliasTextout.h"
#include "graphics/FontSpec.h"

namespace kelva {
namespace {

constexpr const char* kGothic = "ＭＳ Ｐゴシック";
constexpr const char* kMincho = "ＭＳ Ｐ明朝";
constexpr const char* kFixedGothic = "ＭＳ ゴシック";
constexpr const char* kFixedMincho = "ＭＳ 明朝";
constexpr const char* kArial = "Arial";

FontSpec Font(const char* face, int height, bool bold = false, int escapement = 0)
{
    return FontSpec{face, height, bold, escapement};
}

struct Canvas {
    int Width;
    int Height;
    std::vector<uint8_t> Bits;

    Canvas(int width, int height, uint8_t fill = 0)
        : Width(width), Height(height), Bits(static_cast<size_t>(width) * height, fill)
    {
    }
    GreyBuffer Buffer() { return {Bits.data(), Width, Width, Height}; }
    uint8_t At(int x, int y) const { return Bits[static_cast<size_t>(y) * Width + x]; }
    int Ink() const
    {
        return static_cast<int>(std::count_if(Bits.begin(), Bits.end(), [](uint8_t v) { return v != 0; }));
    }
    // Smallest box holding every non-zero pixel.
    TextBox InkBox() const
    {
        TextBox box{Width, Height, 0, 0};
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) {
                if (!At(x, y)) continue;
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
        return box;
    }
};

class FontRasteriserTest : public testing::Test {
protected:
    static void SetUpTestSuite() { s_rasteriser = FreeTypeRasteriser::Create(); }
    static void TearDownTestSuite() { s_rasteriser.reset(); }
    void SetUp() override { ASSERT_TRUE(s_rasteriser); }

    static FreeTypeRasteriser& Rasteriser() { return *s_rasteriser; }
    static Canvas Draw(const FontSpec& font, const char* text, RasterMode mode = RasterMode::Hard,
                       int width = 200, int height = 100, int x = 10, int y = 10)
    {
        Canvas canvas(width, height);
        s_rasteriser->DrawText(font, text, canvas.Buffer(), x, y, mode);
        return canvas;
    }
    static int WidthOf(const FontSpec& font, const char* text)
    {
        return s_rasteriser->MeasureText(font, text).Width;
    }

    static inline std::unique_ptr<FreeTypeRasteriser> s_rasteriser;
};

using FontRasteriserFaces = FontRasteriserTest;
using FontRasteriserStyle = FontRasteriserTest;
using FontRasteriserModes = FontRasteriserTest;

TEST_F(FontRasteriserFaces, KanaAndKanjiDrawInEveryJapaneseFace)
{
    for (const char* face : {kGothic, kMincho, kFixedGothic, kFixedMincho}) {
        for (const char* text : {"あ", "ア", "漢", "①"}) {
            const TextExtent extent = Rasteriser().MeasureText(Font(face, 28), text);
            EXPECT_GE(extent.Width, 20) << face << " " << text;
            EXPECT_LE(extent.Width, 34) << face << " " << text;
            EXPECT_GT(Draw(Font(face, 28), text).Ink(), 40) << face << " " << text;
        }
    }
}

TEST_F(FontRasteriserFaces, EachNameReachesItsOwnFont)
{
    const Canvas gothic = Draw(Font(kGothic, 28), "永");
    const Canvas mincho = Draw(Font(kMincho, 28), "永");
    EXPECT_NE(gothic.Bits, mincho.Bits);
    // The proportional faces set kana tighter than the fixed-pitch ones.
    EXPECT_LT(WidthOf(Font(kGothic, 28), "ぃっ"), WidthOf(Font(kFixedGothic, 28), "ぃっ"));
    EXPECT_LT(WidthOf(Font(kMincho, 28), "ぃっ"), WidthOf(Font(kFixedMincho, 28), "ぃっ"));
    EXPECT_EQ(WidthOf(Font(kFixedGothic, 28), "ぃ"), WidthOf(Font(kFixedGothic, 28), "漢"));
}

TEST_F(FontRasteriserFaces, ArialSetsLatinProportionally)
{
    EXPECT_GT(Draw(Font(kArial, 22), "R.9.2 Kelva").Ink(), 100);
    EXPECT_GT(WidthOf(Font(kArial, 22), "WWWW"), 2 * WidthOf(Font(kArial, 22), "iiii"));
    EXPECT_NE(WidthOf(Font(kArial, 22), "Kelva Novel"), WidthOf(Font(kGothic, 22), "Kelva Novel"));
    EXPECT_EQ(WidthOf(Font("arial", 22), "Kelva"), WidthOf(Font(kArial, 22), "Kelva")) << "names ignore case";
}

TEST_F(FontRasteriserFaces, MissingCharactersAndUnknownFacesFallBackToGothic)
{
    const int gothicWidth = WidthOf(Font(kGothic, 28), "あ漢");
    EXPECT_EQ(WidthOf(Font(kArial, 28), "あ漢"), gothicWidth);
    EXPECT_EQ(Draw(Font(kArial, 28), "あ").Bits, Draw(Font(kGothic, 28), "あ").Bits);
    EXPECT_EQ(WidthOf(Font("No Such Face", 28), "あ漢"), gothicWidth);
    EXPECT_GT(Draw(Font("No Such Face", 28), "Ab").Ink(), 40);
}

TEST_F(FontRasteriserFaces, SingleByteCharactersAndBrokenBytes)
{
    // Half-width katakana is one byte in CP932 and half as wide as its full-width twin.
    EXPECT_GT(Draw(Font(kGothic, 28), "ｱ").Ink(), 20);
    EXPECT_LT(WidthOf(Font(kGothic, 28), "ｱ"), WidthOf(Font(kGothic, 28), "ア"));
    // A lead byte at the end has no trail byte; it must neither crash nor eat the text.
    EXPECT_GT(WidthOf(Font(kGothic, 28), "AB\x82"), WidthOf(Font(kGothic, 28), "AB"));
    Draw(Font(kGothic, 28), "\x82");
}

TEST_F(FontRasteriserFaces, JapaneseFacesHaveNoLeadingArialHas)
{
    for (const int height : {12, 16, 28, 40, 56}) {
        for (const char* face : {kGothic, kMincho, kFixedGothic, kFixedMincho}) {
            EXPECT_EQ(Rasteriser().MeasureText(Font(face, height), ""), (TextExtent{0, height})) << face;
            EXPECT_EQ(Rasteriser().MeasureText(Font(face, height, true), "あA").Height, height) << face;
        }
        EXPECT_GT(Rasteriser().MeasureText(Font(kArial, height), "A").Height, height);
    }
    // An unknown face falls back to the gothic letters but not to its cell.
    EXPECT_GT(Rasteriser().MeasureText(Font("No Such Face", 28), "").Height, 28);
}

TEST_F(FontRasteriserFaces, KanaAndKanjiStayInsideTheirEmCell)
{
    for (const char* face : {kGothic, kMincho}) {
        for (const int height : {16, 28, 40}) {
            const TextExtent extent = Rasteriser().MeasureText(Font(face, height), "漢ぎ「」");
            const TextBox ink =
                Draw(Font(face, height), "漢ぎ「」", RasterMode::Hard, 300, 100, 10, 10).InkBox();
            EXPECT_GE(ink.Top, 10) << face << " at " << height;
            EXPECT_LE(ink.Bottom, 10 + extent.Height) << face << " at " << height;
        }
    }
}

TEST_F(FontRasteriserStyle, BoldIsWiderAndDarker)
{
    for (const char* face : {kGothic, kMincho, kArial}) {
        const char* text = face == kArial ? "Kelva Novel" : "あいうえお";
        EXPECT_GT(WidthOf(Font(face, 28, true), text), WidthOf(Font(face, 28), text)) << face;
        EXPECT_GT(Draw(Font(face, 28, true), text, RasterMode::Hard, 400).Ink(),
                  Draw(Font(face, 28), text, RasterMode::Hard, 400).Ink())
            << face;
    }
}

TEST_F(FontRasteriserStyle, EscapementTurnsTheTextCounterClockwise)
{
    const Canvas upright = Draw(Font(kArial, 28), "HHHH", RasterMode::Hard, 200, 200, 60, 150);
    const Canvas turned = Draw(Font(kArial, 28, false, 900), "HHHH", RasterMode::Hard, 200, 200, 60, 150);
    const TextBox across = upright.InkBox();
    const TextBox up = turned.InkBox();
    EXPECT_GT(across.Right - across.Left, 2 * (across.Bottom - across.Top));
    EXPECT_GT(up.Bottom - up.Top, 2 * (up.Right - up.Left));
    // Turned a quarter counter-clockwise about the cell's corner, the text runs upwards
    // from the drawing point, its baseline to the right.
    EXPECT_LE(up.Bottom, 151);
    EXPECT_GE(up.Left, 60);
    EXPECT_EQ(Rasteriser().MeasureText(Font(kArial, 28, false, 900), "HHHH"),
              Rasteriser().MeasureText(Font(kArial, 28), "HHHH"))
        << "extents are upright";
    // The box the turned cell covers holds the ink.
    const TextBox cell = RotatedTextBox(Rasteriser().MeasureText(Font(kArial, 28), "HHHH"), 900);
    EXPECT_GE(up.Left, 60 + cell.Left);
    EXPECT_LE(up.Right, 60 + cell.Right);
    EXPECT_GE(up.Top, 150 + cell.Top);
    EXPECT_LE(up.Bottom, 150 + cell.Bottom);
}

TEST_F(FontRasteriserModes, HardIsFullInkOnlySmoothHasGreys)
{
    Canvas hard(200, 100, 7);
    Rasteriser().DrawText(Font(kGothic, 28), "あ漢", hard.Buffer(), 10, 10, RasterMode::Hard);
    const auto full = std::count(hard.Bits.begin(), hard.Bits.end(), 255);
    EXPECT_GT(full, 40);
    EXPECT_EQ(full + std::count(hard.Bits.begin(), hard.Bits.end(), 7), static_cast<long>(hard.Bits.size()))
        << "hard letters are 255 over an untouched background";

    const Canvas hardBefore = Draw(Font(kGothic, 28), "あ漢");
    const Canvas smooth = Draw(Font(kGothic, 28), "あ漢", RasterMode::Smooth);
    EXPECT_GT(
        std::count_if(smooth.Bits.begin(), smooth.Bits.end(), [](uint8_t v) { return v > 0 && v < 255; }),
        20);
    EXPECT_EQ(Draw(Font(kGothic, 28), "あ漢").Bits, hardBefore.Bits) << "the cache keeps the modes apart";
}

TEST_F(FontRasteriserModes, DrawingIsCutAtEveryEdge)
{
    const FontSpec font = Font(kGothic, 28, true);
    const Canvas whole = Draw(font, "あg", RasterMode::Hard, 200, 200, 80, 80);
    for (const TPoint place :
         {TPoint{-20, 5}, TPoint{5, -20}, TPoint{30, 25}, TPoint{-40, -40}, TPoint{60, 60}}) {
        Canvas small(50, 40);
        Rasteriser().DrawText(font, "あg", small.Buffer(), place.X, place.Y, RasterMode::Hard);
        for (int y = 0; y < small.Height; ++y)
            for (int x = 0; x < small.Width; ++x) {
                ASSERT_EQ(small.At(x, y), whole.At(x - place.X + 80, y - place.Y + 80))
                    << "drawn at " << place.X << "," << place.Y << ", pixel " << x << "," << y;
            }
    }
}

TEST(FontRasteriserCache, FacesOpenOnceAndGlyphsRenderOncePerStyle)
{
    const auto rasteriser = FreeTypeRasteriser::Create();
    ASSERT_TRUE(rasteriser);
    Canvas canvas(300, 100);
    const FontSpec regular = Font(kGothic, 28);
    FontSpec bold = regular;
    bold.Bold = true;

    rasteriser->DrawText(regular, "あいう", canvas.Buffer(), 0, 0, RasterMode::Hard);
    const FreeTypeRasteriser::Counters first = rasteriser->WorkDone();
    EXPECT_EQ(first.GlyphsRendered, 3);
    for (int n = 0; n < 20; ++n) {
        rasteriser->MeasureText(regular, "あいう");
        rasteriser->DrawText(regular, "うあい", canvas.Buffer(), 0, 0, RasterMode::Hard);
    }
    EXPECT_EQ(rasteriser->WorkDone().GlyphsRendered, 3);

    const int regularWidth = rasteriser->MeasureText(regular, "あいう").Width;
    EXPECT_GT(rasteriser->MeasureText(bold, "あいう").Width, regularWidth);
    EXPECT_EQ(rasteriser->MeasureText(regular, "あいう").Width, regularWidth);
    rasteriser->DrawText(regular, "あいう", canvas.Buffer(), 0, 0, RasterMode::Smooth);
    EXPECT_EQ(rasteriser->WorkDone().GlyphsRendered, 9) << "bold and smooth are glyphs of their own";
    EXPECT_EQ(rasteriser->WorkDone().FacesOpened, first.FacesOpened) << "no face opened twice";

    // A fallback character opens the fallback face once, not per character.
    const FontSpec arial = Font(kArial, 28);
    rasteriser->DrawText(arial, "あい", canvas.Buffer(), 0, 0, RasterMode::Hard);
    const int facesAfterArial = rasteriser->WorkDone().FacesOpened;
    rasteriser->DrawText(arial, "うえお", canvas.Buffer(), 0, 0, RasterMode::Hard);
    EXPECT_EQ(rasteriser->WorkDone().FacesOpened, facesAfterArial);
}

using AntiAliasRealFonts = FontRasteriserTest;

// The lines a page of story text holds with characters of `size`: wrap after wrap from the
// top of the message area until the page is full.
int LinesOnAPage(TPoint size)
{
    TPoint cursor{26, 26};
    int lines = 1;
    for (; PlaceCharacter({600, cursor.Y}, size, "あ") == Placement::NextLine; ++lines) {
        cursor.Y += LineStep(size.Y);
    }
    return lines;
}

TEST_F(AntiAliasRealFonts, StoryTextMeasuresTheCharacterHeightAndPagesFollow)
{
    TAntiAliasTextout renderer(Rasteriser());
    renderer.Font = Font(kGothic, 28);
    EXPECT_EQ(renderer.MeasureText("あ").Y, 29);  // (56 + 3) / 2
    EXPECT_EQ(LineStep(renderer.MeasureText("あ").Y), 40);
    struct Case {
        int Height;
        int Lines;
    };
    for (const Case& c : {Case{16, 18}, Case{20, 14}, Case{24, 12}, Case{28, 10}, Case{32, 9}, Case{40, 7}}) {
        for (const char* face : {kGothic, kMincho}) {
            renderer.Font = Font(face, c.Height);
            EXPECT_EQ(LinesOnAPage(renderer.MeasureText("漢")), c.Lines) << face << " at " << c.Height;
        }
    }
}

// The renderer on real letters, as story text and the window captions use it.
TEST_F(AntiAliasRealFonts, StoryTextAndCaptionsWithOutline)
{
    TAntiAliasTextout renderer(Rasteriser());
    TNkDIB stage(640, 480, 24);
    const TColor background = MakeColor(90, 120, 150);
    stage.FillRect(stage.BoundsRect(), background);
    renderer.Target = &stage;
    renderer.Font = Font(kGothic, 28);
    renderer.TextColor = MakeColor(255, 255, 255);
    renderer.EdgeColor = MakeColor(0, 0, 0);
    renderer.Decoration = kDecorationOutline;

    const TRect box = renderer.DrawText(26, 26, "あ");
    EXPECT_GT(box.Width(), renderer.MeasureText("あ").X) << "the box has wider margins than the advance";
    int text = 0, darker = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const TColor pixel = stage.Pixel(x, y);
            if (!box.Contains(x, y)) {
                ASSERT_EQ(pixel, background) << x << "," << y;
                continue;
            }
            text += pixel == MakeColor(255, 255, 255);
            darker += ColorRed(pixel) < 90 && ColorBlue(pixel) < 150;
        }
    EXPECT_GT(text, 20) << "fully covered letter pixels";
    EXPECT_GT(darker, 20) << "the ring of edge colour";

    // The window captions: plain, white on a black outline; only those two colours.
    renderer.Smooth = false;
    renderer.Font = Font(kGothic, 18, true);
    stage.FillRect(stage.BoundsRect(), background);
    const TRect caption = renderer.DrawText(16, 0, "キャンセル");
    int white = 0, black = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const TColor pixel = stage.Pixel(x, y);
            white += pixel == MakeColor(255, 255, 255);
            black += pixel == MakeColor(0, 0, 0);
            if (pixel != background) {
                ASSERT_TRUE(caption.Contains(x, y)) << x << "," << y;
            }
        }
    EXPECT_GT(white, 100);
    EXPECT_GT(black, 100);
}

}  // namespace
}  // namespace kelva
