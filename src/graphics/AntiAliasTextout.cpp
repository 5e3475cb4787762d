#include "graphics/AntiAliasTextout.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace kelva {

namespace {

constexpr int kGlyphSide = 512;
constexpr int kCoverageSide = 256;

using Bgr = std::array<uint8_t, 3>;

Bgr BgrOf(TColor color)
{
    return {static_cast<uint8_t>(ColorBlue(color)), static_cast<uint8_t>(ColorGreen(color)),
            static_cast<uint8_t>(ColorRed(color))};
}

// An 8-bit image whose bytes read as the grey they are. The rasterisations hold 0 and
// 255, the coverage counts 0 .. F x F, so a saved copy shows what the renderer saw.
TNkDIB GreyImage(int side)
{
    TNkDIB image(side, side, 8);
    std::vector<TColor> palette(256);
    for (int i = 0; i < 256; ++i) palette[i] = MakeColor(i, i, i);
    image.SetPalette(std::move(palette));
    return image;
}

GreyBuffer BufferOf(TNkDIB& image)
{
    return {image.Bits(), image.Stride(), image.Width(), image.Height()};
}

void ClearTopLeft(TNkDIB& image, int64_t width, int64_t height)
{
    const int w = static_cast<int>(std::min<int64_t>(width, image.Width()));
    const int h = static_cast<int>(std::min<int64_t>(height, image.Height()));
    for (int row = 0; row < h; ++row) std::memset(image.ScanLine(row), 0, w);
}

void Put(uint8_t* pixel, const Bgr& color)
{
    pixel[0] = color[0];
    pixel[1] = color[1];
    pixel[2] = color[2];
}

// Counts the lit samples (any non-zero byte) of `glyph` in the F x F blocks under output
// pixels (0 .. width-1, j): sums down the block's rows first, eight columns at a time,
// then across F columns.
void CountRow(const TNkDIB& glyph, int j, int width, int filter, uint8_t* counts)
{
    if (width <= 0) return;
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    // Column sums stay below 256 (F <= 16), so eight of them share a word. The glyph
    // image's rows are 512 bytes, so whole words never leave the row.
    std::array<uint64_t, kGlyphSide / 8> columns;
    const int used = 2 * (width - 1) + filter;  // within the glyph image by the size limit
    const int words = (used + 7) / 8;
    std::fill_n(columns.begin(), words, uint64_t{0});
    for (int row = 0; row < filter; ++row) {
        const uint8_t* samples = glyph.ScanLine(2 * j + row);
        for (int w = 0; w < words; ++w) {
            uint64_t bytes;
            std::memcpy(&bytes, samples + 8 * w, 8);
            // 1 in every byte that is not 0: bit 7 of (low seven bits + 127) | byte.
            columns[w] += ((((bytes & kLow7) + kLow7) | bytes) >> 7) & kOnes;
        }
    }
    uint8_t sums[kGlyphSide];
    std::memcpy(sums, columns.data(), static_cast<size_t>(words) * 8);
    for (int i = 0; i < width; ++i) {
        int count = 0;
        for (int k = 0; k < filter; ++k) count += sums[2 * i + k];
        counts[i] = static_cast<uint8_t>(count);
    }
}

// The output pixels of a `size`-wide run starting at `origin` that land on 0 .. limit-1.
struct Span {
    int Begin = 0;
    int End = 0;
};
Span Visible(int64_t origin, int size, int limit)
{
    const int64_t begin = std::max<int64_t>(0, -origin);
    const int64_t end = std::min<int64_t>(size, limit - origin);
    return {static_cast<int>(begin), static_cast<int>(std::max(begin, end))};
}

bool Drawable(const TNkDIB* target)
{
    return target && target->BitCount() == 24 && !target->IsEmpty();
}

}  // namespace

int DoubledPixelHeight(int pixelHeight)
{
    // Pixels to points and back round half away from zero.
    const int64_t magnitude = std::llabs(int64_t{pixelHeight});
    const int64_t points = (magnitude * 72 + 48) / 96;
    const int64_t doubled = std::min<int64_t>((points * 2 * 96 + 36) / 72, std::numeric_limits<int>::max());
    return static_cast<int>(pixelHeight < 0 ? -doubled : doubled);
}

TAntiAliasTextout::TAntiAliasTextout(FontRasteriser& rasteriser) : m_rasteriser(rasteriser) {}

TNkDIB& TAntiAliasTextout::Scratch(TNkDIB& image, int side)
{
    if (image.IsEmpty()) image = GreyImage(side);
    return image;
}

int TAntiAliasTextout::ClampedFilterSize() const
{
    return std::clamp<int>(FilterSize, 1, kMaxFilterSize);
}

FontSpec TAntiAliasTextout::DoubledFont() const
{
    FontSpec font = Font;
    font.Height = DoubledPixelHeight(Font.Height);
    return font;
}

TPoint TAntiAliasTextout::MeasureText(std::string_view text) const
{
    const int filter = ClampedFilterSize();
    const TextExtent extent = m_rasteriser.MeasureText(DoubledFont(), text);
    return {(extent.Width + filter) / 2, (extent.Height + filter) / 2};
}

TRect TAntiAliasTextout::DrawText(int x, int y, std::string_view text)
{
    if (Smooth) return DrawSmooth(x, y, text);
    if (Decoration == kDecorationOutline) return DrawPlainOutline(x, y, text);
    return DrawPlain(x, y, text);
}

const TAntiAliasTextout::Coverage& TAntiAliasTextout::SmoothCoverage(std::string_view text)
{
    const bool outline = Decoration == kDecorationOutline;
    // The numbers as raw bytes, then the face and the text: nothing to format per call,
    // and the key's buffer is kept, so a cached piece costs no allocation.
    const int32_t numbers[] = {Font.Height, Font.Escapement, Font.Bold, ClampedFilterSize(), outline};
    m_key.assign(reinterpret_cast<const char*>(numbers), sizeof numbers);
    m_key += Font.Face;
    m_key += '\0';
    m_key.append(text);
    if (const auto found = m_coverageCache.find(m_key); found != m_coverageCache.end()) return found->second;
    if (m_coverageCache.size() >= kMaxCachedPieces) m_coverageCache.clear();
    return m_coverageCache.emplace(m_key, MakeSmoothCoverage(text, outline)).first->second;
}

TAntiAliasTextout::Coverage TAntiAliasTextout::MakeSmoothCoverage(std::string_view text, bool outline)
{
    const int filter = ClampedFilterSize();
    const FontSpec font = DoubledFont();
    const TextExtent extent = m_rasteriser.MeasureText(font, text);
    const int64_t width2 = int64_t{extent.Width} + 2 * filter;
    const int64_t height2 = int64_t{extent.Height} + 2 * filter;
    // Output pixel (i, j) reads glyph columns up to 2i + F - 1, so this is as far as the
    // glyph image reaches (and never past the coverage image).
    const int limit = std::min(kCoverageSide, (kGlyphSide - filter) / 2 + 1);
    Coverage coverage;
    coverage.Width = static_cast<int>(std::min<int64_t>(width2 / 2, limit));
    coverage.Height = static_cast<int>(std::min<int64_t>(height2 / 2, limit));
    coverage.Levels.resize(static_cast<size_t>(coverage.Width) * coverage.Height);
    const auto levelRow = [&](int j) {
        return coverage.Levels.data() + static_cast<size_t>(j) * coverage.Width;
    };
    std::array<uint8_t, kCoverageSide> counts;

    // Blocks reach 2 x (size - 1) + F samples: past the 4-sample border when F > 6.
    TNkDIB& glyphImage = Scratch(m_glyphImage, kGlyphSide);
    ClearTopLeft(glyphImage, width2 + 4 + filter, height2 + 4 + filter);
    const GreyBuffer glyph = BufferOf(glyphImage);
    m_rasteriser.DrawText(font, text, glyph, filter, filter, RasterMode::Hard);
    for (int j = 0; j < coverage.Height; ++j) {
        CountRow(glyphImage, j, coverage.Width, filter, counts.data());
        std::copy_n(counts.begin(), coverage.Width, levelRow(j));
    }
    if (outline) {
        // The letters thickened by one output pixel diagonally each way: the ring they add
        // takes the edge colour with its own coverage.
        m_rasteriser.DrawText(font, text, glyph, filter - 2, filter - 2, RasterMode::Hard);
        m_rasteriser.DrawText(font, text, glyph, filter - 2, filter + 2, RasterMode::Hard);
        m_rasteriser.DrawText(font, text, glyph, filter + 2, filter - 2, RasterMode::Hard);
        m_rasteriser.DrawText(font, text, glyph, filter + 2, filter + 2, RasterMode::Hard);
        const int samples = filter * filter;
        for (int j = 0; j < coverage.Height; ++j) {
            CountRow(glyphImage, j, coverage.Width, filter, counts.data());
            uint16_t* levels = levelRow(j);
            for (int i = 0; i < coverage.Width; ++i) {
                levels[i] = static_cast<uint16_t>(levels[i] > 0 ? samples + levels[i] : counts[i]);
            }
        }
    }
    CutRows(coverage);
    return coverage;
}

TRect TAntiAliasTextout::DrawSmooth(int x, int y, std::string_view text)
{
    const Coverage& coverage = SmoothCoverage(text);
    const TRect box = TRect::Bounds(x, y, coverage.Width, coverage.Height);
    if (!Drawable(Target)) return box;

    const int filter = ClampedFilterSize();
    m_inks.Prepare(filter * filter, TextColor, EdgeColor);
    TNkDIB& target = *Target;
    switch (Decoration) {
        case kDecorationShadow:
            BlendLevels(target, int64_t{x} + 1, int64_t{y} + 1, coverage, m_inks.Scales(), m_inks.Edge());
            BlendLevels(target, x, y, coverage, m_inks.Scales(), m_inks.Text());
            break;
        case kDecorationOutline:
            BlendLevels(target, x, y, coverage, m_inks.Scales(), m_inks.Outline());
            break;
        default:
            BlendLevels(target, x, y, coverage, m_inks.Scales(), m_inks.Text());
            break;
    }
    return box;
}

TRect TAntiAliasTextout::DrawPlainOutline(int x, int y, std::string_view text)
{
    const TextExtent extent = m_rasteriser.MeasureText(Font, text);
    const int width = static_cast<int>(std::min<int64_t>(int64_t{extent.Width} + 4, kCoverageSide));
    const int height = static_cast<int>(std::min<int64_t>(int64_t{extent.Height} + 6, kCoverageSide));
    const TRect box = TRect::Bounds(x, y, width, height);
    if (!Drawable(Target)) return box;

    TNkDIB& letters = Scratch(m_coverageImage, kCoverageSide);
    ClearTopLeft(letters, int64_t{width} + 4, int64_t{height} + 4);
    m_rasteriser.DrawText(Font, text, BufferOf(letters), 2, 2, RasterMode::Hard);

    // Mark the outline: 2 left and right of every letter run, then 1 above and below
    // every run of letter or mark, which rounds the corners off. Only 255 is letter.
    for (int row = 0; row < height; ++row) {
        uint8_t* v = letters.ScanLine(row);
        for (int i = 1; i <= width - 3; ++i) {
            if (v[i] > 2 && v[i + 1] <= 2) {
                v[i + 1] = 2;
            } else if (v[i] <= 2 && v[i + 1] > 2) {
                v[i] = 2;
            }
        }
    }
    for (int column = 0; column < width; ++column) {
        for (int j = 1; j <= height - 2; ++j) {
            uint8_t& here = letters.ScanLine(j)[column];
            uint8_t& below = letters.ScanLine(j + 1)[column];
            if (here > 1 && below <= 1) {
                below = 1;
            } else if (here <= 1 && below > 1) {
                here = 1;
            }
        }
    }

    TNkDIB& target = *Target;
    const Bgr text24 = BgrOf(TextColor);
    const Bgr edge24 = BgrOf(EdgeColor);
    const Span columns = Visible(x, width, target.Width());
    const Span rows = Visible(y, height, target.Height());
    for (int j = rows.Begin; j < rows.End; ++j) {
        const uint8_t* v = letters.ScanLine(j);
        uint8_t* line = target.ScanLine(y + j);
        for (int i = columns.Begin; i < columns.End; ++i) {
            if (v[i] == 255) {
                Put(line + (x + i) * 3, text24);
            } else if (v[i] != 0) {
                Put(line + (x + i) * 3, edge24);
            }
        }
    }
    return box;
}

TRect TAntiAliasTextout::DrawPlain(int x, int y, std::string_view text)
{
    const TextExtent extent = m_rasteriser.MeasureText(Font, text);
    const TRect box = TRect::Bounds(x, y, extent.Width, extent.Height);
    if (!Drawable(Target)) return box;
    TNkDIB& target = *Target;
    const bool shadow = Decoration == kDecorationShadow;

    // Rasterise only what can reach the target: the (turned) cell, a margin for letters
    // that reach past their cell, and for the shadow one more pixel up and left, since a
    // letter just off the target still casts its shadow onto it.
    const TextBox cell = RotatedTextBox(extent, Font.Escapement);
    const int64_t margin = extent.Height / 2 + 2;
    const int64_t left = std::max<int64_t>(int64_t{x} + cell.Left - margin, shadow ? -1 : 0);
    const int64_t top = std::max<int64_t>(int64_t{y} + cell.Top - margin, shadow ? -1 : 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + cell.Right + margin, target.Width());
    const int64_t bottom = std::min<int64_t>(int64_t{y} + cell.Bottom + margin, target.Height());
    if (right <= left || bottom <= top) return box;
    const int width = static_cast<int>(right - left);
    const int height = static_cast<int>(bottom - top);
    m_plainScratch.assign(static_cast<size_t>(width) * height, 0);
    m_rasteriser.DrawText(Font, text, {m_plainScratch.data(), width, width, height},
                          static_cast<int>(x - left), static_cast<int>(y - top), RasterMode::Hard);

    const auto paint = [&](int dx, int dy, const Bgr& color) {
        const Span columns = Visible(left + dx, width, target.Width());
        const Span rows = Visible(top + dy, height, target.Height());
        for (int j = rows.Begin; j < rows.End; ++j) {
            const uint8_t* v = m_plainScratch.data() + static_cast<size_t>(j) * width;
            uint8_t* line = target.ScanLine(static_cast<int>(top + dy + j));
            for (int i = columns.Begin; i < columns.End; ++i) {
                if (v[i] == 255) Put(line + (left + dx + i) * 3, color);
            }
        }
    };
    if (shadow) paint(1, 1, BgrOf(EdgeColor));
    paint(0, 0, BgrOf(TextColor));
    return box;
}

}  // namespace kelva
