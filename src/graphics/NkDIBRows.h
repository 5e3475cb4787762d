// Row helpers shared by the image class's sources: reading and writing runs of pixels in
// any of the three formats, and matching colours to a palette.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "graphics/NkDIB.h"

namespace kelva::nkdib {

// Bytes per row for a width and bit count, padded to a multiple of 4.
inline int64_t StrideFor(int64_t width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

// Finds the nearest palette entry for colours, remembering recent answers: converting a
// photograph to 8 bits asks for the same colours over and over. Borrows the palette.
class ColorMatcher {
public:
    explicit ColorMatcher(const std::vector<TColor>& palette);
    uint8_t Match(uint8_t blue, uint8_t green, uint8_t red);

private:
    static constexpr int kSlots = 4096;
    const std::vector<TColor>& m_palette;
    std::array<uint32_t, kSlots> m_keys;  // 0xBBGGRR + 1, 0 for an empty slot
    std::array<uint8_t, kSlots> m_values;
};

// Index of the entry nearest to (red, green, blue); 0 for an empty palette.
int NearestEntry(const std::vector<TColor>& palette, int red, int green, int blue);

// Blue, green, red for each of the 256 indices (black past the palette's end).
std::array<uint8_t, 256 * 3> PaletteBgr(const std::vector<TColor>& palette);

// Reads `count` pixels of row y from column x as blue, green, red. In range.
void ReadBgr(const TNkDIB& image, int y, int x, int count, uint8_t* bgr);
// Writes `count` blue-green-red pixels into row y from column x; for 1- and 8-bit images
// through `matcher`, which must be made for the image's palette. In range.
void WriteBgr(TNkDIB& image, int y, int x, int count, const uint8_t* bgr, ColorMatcher& matcher);

// The value FillSpan stores for a colour: 0xBBGGRR-ordered bytes for 24 bits (blue
// first in memory), else the nearest palette index.
uint32_t StoredValue(const TNkDIB& image, TColor color);
// Fills columns x0..x1-1 of row y (already clipped, x0 < x1) with a stored value.
void FillSpan(TNkDIB& image, int y, int x0, int x1, uint32_t value);

inline int GetBit(const uint8_t* row, int x)
{
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}
inline void PutBit(uint8_t* row, int x, int bit)
{
    const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
    row[x >> 3] = static_cast<uint8_t>(bit ? row[x >> 3] | mask : row[x >> 3] & ~mask);
}

}  // namespace kelva::nkdib
