#include "graphics/NkDIB.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "graphics/NkDIBRows.h"

namespace kelva {

using nkdib::GetBit;
using nkdib::PutBit;

namespace {

void CheckSize(int width, int height)
{
    if (width < 0 || height < 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        static_cast<int64_t>(width) * height > kMaxPicturePixels) {
        throw ImageError("画像の大きさ（幅 " + std::to_string(width) + "、高さ " + std::to_string(height) +
                         "）が扱える範囲を越えています。");
    }
}

void CheckBitCount(int bitCount)
{
    if (bitCount != 1 && bitCount != 8 && bitCount != 24) {
        throw ImageError("画素の形式（" + std::to_string(bitCount) + " ビット）には対応していません。");
    }
}

// The 6 x 6 x 6 colour cube used when 8-bit pixels are needed and no palette is given.
std::vector<TColor> ColorCube()
{
    std::vector<TColor> cube;
    cube.reserve(216);
    for (int b = 0; b < 6; ++b)
        for (int g = 0; g < 6; ++g)
            for (int r = 0; r < 6; ++r) cube.push_back(MakeColor(r * 51, g * 51, b * 51));
    return cube;
}

}  // namespace

TRect TRect::Intersect(const TRect& other) const
{
    TRect r{std::max(Left, other.Left), std::max(Top, other.Top), std::min(Right, other.Right),
            std::min(Bottom, other.Bottom)};
    if (r.IsEmpty()) return {};
    return r;
}

TNkDIB::TNkDIB(int width, int height, int bitCount)
{
    CheckBitCount(bitCount);
    m_bitCount = bitCount;
    SetSize(width, height);
}

void TNkDIB::SetSize(int width, int height)
{
    CheckSize(width, height);
    if (width == m_width && height == m_height) return;
    const int stride = static_cast<int>(nkdib::StrideFor(width, m_bitCount));
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * height);
    const int rows = std::min(height, m_height);
    const int columns = std::min(width, m_width);
    const int wholeBytes = columns * m_bitCount / 8;
    const int leftoverBits = columns * m_bitCount % 8;  // only for 1 bit per pixel
    for (int y = 0; y < rows; ++y) {
        const uint8_t* from = ScanLine(y);
        uint8_t* to = bits.data() + static_cast<size_t>(y) * stride;
        std::memcpy(to, from, static_cast<size_t>(wholeBytes));
        if (leftoverBits > 0)
            to[wholeBytes] = from[wholeBytes] & static_cast<uint8_t>(0xFF00 >> leftoverBits);
    }
    m_width = width;
    m_height = height;
    m_stride = stride;
    m_bits = std::move(bits);
}

void TNkDIB::SetBitCount(int bitCount)
{
    CheckBitCount(bitCount);
    if (bitCount == m_bitCount) return;
    TNkDIB result(m_width, m_height, bitCount);

    if (bitCount == 24) {
        const auto lut = nkdib::PaletteBgr(m_palette);
        for (int y = 0; y < m_height; ++y) {
            const uint8_t* from = ScanLine(y);
            uint8_t* to = result.ScanLine(y);
            for (int x = 0; x < m_width; ++x, to += 3) {
                const int index = m_bitCount == 8 ? from[x] : GetBit(from, x);
                std::memcpy(to, &lut[index * 3], 3);
            }
        }
        result.m_palette = m_palette;
    } else if (bitCount == 8 && m_bitCount == 1) {
        for (int y = 0; y < m_height; ++y) {
            const uint8_t* from = ScanLine(y);
            uint8_t* to = result.ScanLine(y);
            for (int x = 0; x < m_width; ++x) to[x] = static_cast<uint8_t>(GetBit(from, x));
        }
        result.m_palette = m_palette;
    } else {
        const size_t limit = bitCount == 8 ? 256 : 2;
        if (!m_palette.empty() && m_palette.size() <= limit) {
            result.m_palette = m_palette;
        } else if (bitCount == 8) {
            result.m_palette = ColorCube();
        } else {
            result.m_palette = {MakeColor(0, 0, 0), MakeColor(255, 255, 255)};
        }
        nkdib::ColorMatcher matcher(result.m_palette);
        if (m_bitCount == 24) {
            for (int y = 0; y < m_height; ++y) nkdib::WriteBgr(result, y, 0, m_width, ScanLine(y), matcher);
        } else {  // 8 to 1: match each palette entry once
            const auto lut = nkdib::PaletteBgr(m_palette);
            uint8_t map[256];
            for (int i = 0; i < 256; ++i) map[i] = matcher.Match(lut[i * 3], lut[i * 3 + 1], lut[i * 3 + 2]);
            for (int y = 0; y < m_height; ++y) {
                const uint8_t* from = ScanLine(y);
                uint8_t* to = result.ScanLine(y);
                for (int x = 0; x < m_width; ++x) PutBit(to, x, map[from[x]]);
            }
        }
    }
    *this = std::move(result);
}

void TNkDIB::SetPaletteSize(int count)
{
    if (count < 0 || count > 256) {
        throw ImageError("パレットの色数（" + std::to_string(count) + "）が不正です。");
    }
    m_palette.resize(static_cast<size_t>(count), MakeColor(0, 0, 0));
}

TColor TNkDIB::PaletteEntry(int index) const
{
    if (index < 0 || index >= PaletteSize()) return kInvalidColor;
    return m_palette[static_cast<size_t>(index)];
}

void TNkDIB::SetPaletteEntry(int index, TColor color)
{
    if (index < 0 || index >= PaletteSize()) return;
    m_palette[static_cast<size_t>(index)] = color & 0xFFFFFF;
}

void TNkDIB::SetPalette(std::vector<TColor> palette)
{
    if (palette.size() > 256) {
        throw ImageError("パレットの色数（" + std::to_string(palette.size()) + "）が不正です。");
    }
    for (TColor& color : palette) color &= 0xFFFFFF;
    m_palette = std::move(palette);
}

int TNkDIB::NearestIndex(TColor color) const
{
    return nkdib::NearestEntry(m_palette, ColorRed(color), ColorGreen(color), ColorBlue(color));
}

TColor TNkDIB::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return kInvalidColor;
    const uint8_t* row = ScanLine(y);
    if (m_bitCount == 24) return MakeColor(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    const int index = m_bitCount == 8 ? row[x] : GetBit(row, x);
    return index < PaletteSize() ? m_palette[static_cast<size_t>(index)] : MakeColor(0, 0, 0);
}

void TNkDIB::SetPixel(int x, int y, TColor color)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    nkdib::FillSpan(*this, y, x, x + 1, nkdib::StoredValue(*this, color));
}

int TNkDIB::PixelIndex(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_bitCount == 24) return -1;
    const uint8_t* row = ScanLine(y);
    return m_bitCount == 8 ? row[x] : GetBit(row, x);
}

void TNkDIB::SetPixelIndex(int x, int y, int index)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_bitCount == 24) return;
    uint8_t* row = ScanLine(y);
    if (m_bitCount == 8) {
        row[x] = static_cast<uint8_t>(index);
    } else {
        PutBit(row, x, index & 1);
    }
}

void TNkDIB::Assign(DecodedPicture&& picture)
{
    CheckSize(picture.Width, picture.Height);
    const int64_t stride = nkdib::StrideFor(picture.Width, 24);
    if (picture.Stride != stride ||
        picture.Pixels.size() < static_cast<size_t>(stride) * static_cast<size_t>(picture.Height)) {
        throw ImageError("展開した画像の大きさと画素データが合いません。");
    }
    picture.Pixels.resize(static_cast<size_t>(stride) * static_cast<size_t>(picture.Height));
    m_width = picture.Width;
    m_height = picture.Height;
    m_bitCount = 24;
    m_stride = static_cast<int>(stride);
    m_bits = std::move(picture.Pixels);
    m_palette.clear();
    picture = DecodedPicture{};
}

namespace nkdib {

int NearestEntry(const std::vector<TColor>& palette, int red, int green, int blue)
{
    int best = 0;
    int bestDistance = 1 << 30;
    for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = ColorRed(palette[i]) - red;
        const int dg = ColorGreen(palette[i]) - green;
        const int db = ColorBlue(palette[i]) - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
            if (distance == 0) break;
        }
    }
    return best;
}

ColorMatcher::ColorMatcher(const std::vector<TColor>& palette) : m_palette(palette)
{
    m_keys.fill(0);
}

uint8_t ColorMatcher::Match(uint8_t blue, uint8_t green, uint8_t red)
{
    const uint32_t key = (static_cast<uint32_t>(blue) << 16 | static_cast<uint32_t>(green) << 8 | red) + 1;
    const size_t slot = ((key * 2654435761u) >> 20) & (kSlots - 1);
    if (m_keys[slot] != key) {
        m_keys[slot] = key;
        m_values[slot] = static_cast<uint8_t>(NearestEntry(m_palette, red, green, blue));
    }
    return m_values[slot];
}

std::array<uint8_t, 256 * 3> PaletteBgr(const std::vector<TColor>& palette)
{
    std::array<uint8_t, 256 * 3> lut{};
    for (size_t i = 0; i < palette.size() && i < 256; ++i) {
        lut[i * 3] = static_cast<uint8_t>(ColorBlue(palette[i]));
        lut[i * 3 + 1] = static_cast<uint8_t>(ColorGreen(palette[i]));
        lut[i * 3 + 2] = static_cast<uint8_t>(ColorRed(palette[i]));
    }
    return lut;
}

void ReadBgr(const TNkDIB& image, int y, int x, int count, uint8_t* bgr)
{
    const uint8_t* row = image.ScanLine(y);
    if (image.BitCount() == 24) {
        std::memcpy(bgr, row + x * 3, static_cast<size_t>(count) * 3);
        return;
    }
    const auto lut = PaletteBgr(image.Palette());
    for (int i = 0; i < count; ++i, bgr += 3) {
        const int index = image.BitCount() == 8 ? row[x + i] : GetBit(row, x + i);
        std::memcpy(bgr, &lut[index * 3], 3);
    }
}

void WriteBgr(TNkDIB& image, int y, int x, int count, const uint8_t* bgr, ColorMatcher& matcher)
{
    uint8_t* row = image.ScanLine(y);
    if (image.BitCount() == 24) {
        std::memcpy(row + x * 3, bgr, static_cast<size_t>(count) * 3);
    } else if (image.BitCount() == 8) {
        for (int i = 0; i < count; ++i, bgr += 3) row[x + i] = matcher.Match(bgr[0], bgr[1], bgr[2]);
    } else {
        for (int i = 0; i < count; ++i, bgr += 3) PutBit(row, x + i, matcher.Match(bgr[0], bgr[1], bgr[2]));
    }
}

uint32_t StoredValue(const TNkDIB& image, TColor color)
{
    if (image.BitCount() == 24) return color & 0xFFFFFF;
    return static_cast<uint32_t>(image.NearestIndex(color));
}

void FillSpan(TNkDIB& image, int y, int x0, int x1, uint32_t value)
{
    uint8_t* row = image.ScanLine(y);
    switch (image.BitCount()) {
        case 24: {
            // The colour value holds red in the low byte; rows hold blue first.
            const uint8_t bgr[3] = {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                                    static_cast<uint8_t>(value)};
            uint8_t* p = row + x0 * 3;
            uint8_t* end = row + x1 * 3;
            if (bgr[0] == bgr[1] && bgr[1] == bgr[2]) {
                std::memset(p, bgr[0], static_cast<size_t>(end - p));
                return;
            }
            for (; p < end; p += 3) p[0] = bgr[0], p[1] = bgr[1], p[2] = bgr[2];
            return;
        }
        case 8:
            std::memset(row + x0, static_cast<int>(value), static_cast<size_t>(x1 - x0));
            return;
        default: {
            const int bit = static_cast<int>(value & 1);
            int x = x0;
            for (; x < x1 && (x & 7) != 0; ++x) PutBit(row, x, bit);
            const int wholeBytes = (x1 - x) / 8;
            std::memset(row + x / 8, bit ? 0xFF : 0x00, static_cast<size_t>(wholeBytes));
            x += wholeBytes * 8;
            for (; x < x1; ++x) PutBit(row, x, bit);
            return;
        }
    }
}

}  // namespace nkdib

}  // namespace kelva
