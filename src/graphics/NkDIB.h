// The off-screen image: a device-independent bitmap that every picture, character layer
// and stage buffer lives in, with the BMP reader and the few drawing operations the
// engine needs. Text drawing lives in the text renderer, which draws into 8-bit images.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/Stream.h"
#include "platform/JpegDecoder.h"

namespace kelva {

// Colour value: red in bits 0-7, green 8-15, blue 16-23, top byte 0.
using TColor = uint32_t;
// What Pixel answers for a point outside the image (no real colour has a top byte).
inline constexpr TColor kInvalidColor = 0xFFFFFFFF;

constexpr TColor MakeColor(int red, int green, int blue)
{
    return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int ColorRed(TColor color)
{
    return color & 0xFF;
}
constexpr int ColorGreen(TColor color)
{
    return (color >> 8) & 0xFF;
}
constexpr int ColorBlue(TColor color)
{
    return (color >> 16) & 0xFF;
}

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

// Pixels from (Left, Top) up to but excluding (Right, Bottom); y grows downwards.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static constexpr TRect Bounds(int x, int y, int width, int height)
    {
        return {x, y, x + width, y + height};
    }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    // The common part; an empty rectangle when there is none.
    TRect Intersect(const TRect& other) const;
    bool operator==(const TRect&) const = default;
};

// A picture could not be read: the file is no bitmap, is broken, or uses a variant this
// reader does not know. The message is CP932 text for the reader, without the file name.
class ImageError : public FormatError {
public:
    using FormatError::FormatError;
};

enum class FillRule { EvenOdd, NonZero };

// Which pixels a filled polygon takes: those whose centres lie inside (the polygon of a
// rectangle's corners fills exactly that rectangle), or every pixel the polygon touches,
// its outline included (polygons that share an edge then leave no pixel between them).
enum class PolygonCoverage { Centres, Touched };

// Pixel formats: 1 bit per pixel (leftmost pixel in the most significant bit), 8 bits
// (palette indices) and 24 bits (blue, green, red). Row 0 is the top row; every row is
// padded to a multiple of 4 bytes and the padding belongs to the row, so pixel routines
// may work on whole rows (ScanLine .. ScanLine + Stride). Copies are deep.
class TNkDIB {
public:
    // Empty: 0 x 0 pixels, 24 bits per pixel, no palette.
    TNkDIB() = default;
    // Throws ImageError for a size outside the picture limits or an unknown format.
    TNkDIB(int width, int height, int bitCount);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int BitCount() const { return m_bitCount; }
    bool IsEmpty() const { return m_width == 0 || m_height == 0; }
    TRect BoundsRect() const { return {0, 0, m_width, m_height}; }

    // Resizing keeps the pixels of the part both sizes share (anchored at the top left)
    // and fills the rest with zero bytes (black, or palette index 0). Sizes must lie in
    // 0..kMaxPictureSide with at most kMaxPicturePixels pixels, else ImageError.
    void SetWidth(int width) { SetSize(width, m_height); }
    void SetHeight(int height) { SetSize(m_width, height); }
    void SetSize(int width, int height);

    // Changes the pixel format (1, 8 or 24; anything else throws ImageError), converting
    // the pixels. To 24 bits: through the palette (indices past its end are black). To
    // 8 or 1 bits: each colour becomes its nearest palette entry, using the current
    // palette when it fits the new format (1..256 entries for 8 bits, 1..2 for 1 bit),
    // otherwise a 6 x 6 x 6 colour cube (8 bits) or black and white (1 bit), which then
    // becomes the palette. The palette survives a conversion to 24 bits, so 8 -> 24 -> 8
    // gives the same indices back.
    void SetBitCount(int bitCount);

    // The palette: 0..256 entries. New entries are black.
    int PaletteSize() const { return static_cast<int>(m_palette.size()); }
    void SetPaletteSize(int count);
    // Outside 0..PaletteSize()-1 PaletteEntry answers kInvalidColor and
    // SetPaletteEntry does nothing.
    TColor PaletteEntry(int index) const;
    void SetPaletteEntry(int index, TColor color);
    const std::vector<TColor>& Palette() const { return m_palette; }
    void SetPalette(std::vector<TColor> palette);
    // Index of the palette entry nearest to `color` (squared distance in red, green and
    // blue; the lowest index wins a tie); 0 for an empty palette.
    int NearestIndex(TColor color) const;

    // Row y, 0 at the top; y must lie in 0..Height()-1.
    uint8_t* ScanLine(int y) { return m_bits.data() + static_cast<size_t>(y) * m_stride; }
    const uint8_t* ScanLine(int y) const { return m_bits.data() + static_cast<size_t>(y) * m_stride; }
    // Bytes from one row to the next: (Width * BitCount + 31) / 32 * 4.
    int Stride() const { return m_stride; }
    uint8_t* Bits() { return m_bits.data(); }
    const uint8_t* Bits() const { return m_bits.data(); }

    // One pixel as a colour value (through the palette for 1 and 8 bits; an index past
    // the palette's end reads as black); kInvalidColor outside the image.
    TColor Pixel(int x, int y) const;
    // Sets one pixel (the nearest palette entry for 1 and 8 bits); ignored outside.
    void SetPixel(int x, int y, TColor color);
    // The raw index of a 1- or 8-bit pixel; -1 outside the image or for 24 bits.
    int PixelIndex(int x, int y) const;
    // Stores a raw index (masked to the format's bits); ignored outside or for 24 bits.
    void SetPixelIndex(int x, int y, int index);

    // Deep copy of another image.
    void Assign(const TNkDIB& source) { *this = source; }
    // Becomes the decoded 24-bit picture, taking its buffer over; the palette is dropped.
    // Throws ImageError when the picture's sizes don't describe its buffer.
    void Assign(DecodedPicture&& picture);

    // Reads a BMP from the stream's current position: file header, then an OS/2 1.x
    // (12 bytes), OS/2 2.x (16..64), Windows (40, 52, 56) or V4/V5 (108, 124) info header;
    // 1, 4, 8, 16, 24 and 32 bits per pixel; uncompressed, RLE8, RLE4 or bit fields;
    // bottom-up or top-down. 1-bit pictures stay 1-bit, 4- and 8-bit ones become 8-bit,
    // the rest 24-bit. Reads only the bitmap's own bytes and leaves the stream just after
    // its pixel data, so it works on a package entry that other entries follow; with
    // `maxLength` 0 or more it reads no more than that many bytes (an entry's size).
    // A picture of more than `maxPixels` pixels is refused from its header, before
    // anything is allocated: run-length data may be a few bytes for any size.
    // Throws ImageError (the image keeps its old contents) when the picture can't be read.
    void LoadFromStream(Stream& stream, int64_t maxLength = -1, int64_t maxPixels = kMaxPicturePixels);
    void LoadFromFile(const std::string& path, int64_t maxPixels = kMaxPicturePixels);
    // Writes an uncompressed bottom-up BMP with a 40-byte info header (and the palette
    // for 1 and 8 bits). Throws FormatError when the stream refuses bytes.
    void SaveToStream(Stream& stream) const;

    // Drawing. Rectangles are clipped to the image; a colour is stored as the nearest
    // palette entry in a 1- or 8-bit image.
    void FillRect(const TRect& rect, TColor color);
    // Copies `sourceRect` of `source` into `destRect` of this image, stretching with the
    // nearest pixel when the sizes differ. Parts outside either image are left out. Equal
    // formats copy raw pixels (indices too: the palettes are taken to agree); otherwise
    // pixels go through their colours. `source` may be this image.
    void CopyRect(const TRect& destRect, const TNkDIB& source, const TRect& sourceRect);
    // Copies the whole of `source` with its top-left corner at (x, y), clipped.
    void Draw(int x, int y, const TNkDIB& source);
    // Fills the polygon (closed automatically) without an outline. Points are pixel
    // corners: pixel (x, y) spans x..x+1, y..y+1. A sweep of wedges that must together
    // cover an area (the rotating shutter's mask) wants PolygonCoverage::Touched.
    void FillPolygon(std::span<const TPoint> points, TColor color, FillRule rule = FillRule::EvenOdd,
                     PolygonCoverage coverage = PolygonCoverage::Centres);
    // Fills a rectangle with corners rounded by quarter ellipses `ellipseWidth` by
    // `ellipseHeight` pixels (limited to the rectangle's size; 0 gives square corners).
    void FillRoundRect(const TRect& rect, int ellipseWidth, int ellipseHeight, TColor color);

private:
    int m_width = 0;
    int m_height = 0;
    int m_bitCount = 24;
    int m_stride = 0;
    std::vector<uint8_t> m_bits;
    std::vector<TColor> m_palette;
};

}  // namespace kelva
