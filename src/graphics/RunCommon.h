// Pixel routines of stage composition: rectangle copy, masked copy, whole-frame blend,
// tint and the key-wait icon. They work on 24-bit images (blue, green, red bytes) a whole
// row at a time. Blends and tints give exactly the bytes of the blend table; by default
// they compute them with the widest vector instructions the processor has, which the
// tests hold to the table for every step and every pair of values.
#pragma once

#include "graphics/BlendTable.h"
#include "graphics/NkDIB.h"

namespace kelva {

// How BlendFrame and Tint compute their bytes: by table look-up (the reference), or by
// arithmetic on 16 (SSE2) or 32 (AVX2) bytes at a time.
enum class PixelPath { Table, Sse2, Avx2 };

// The fastest path this processor runs; what the plain BlendFrame and Tint use.
PixelPath DefaultPixelPath();
bool PixelPathSupported(PixelPath path);

// Copies columns left..right and rows top..bottom, both edges INCLUDED, of `source` to the
// same place in `destination`. The rectangle is clipped to both images. Images of other
// formats than 24 bits are copied through their colours.
void CopyRect(const TNkDIB& source, TNkDIB& destination, const TRect& inclusive);

// Copies from `source` to `destination` each pixel of `rect` (right and bottom excluded)
// whose bit in the one-bit `mask` is 1 (rows packed 8 pixels a byte, leftmost pixel in the
// most significant bit). Clipped to all three images; a mask of another format copies
// nothing.
void MaskedCopy(const TNkDIB& source, TNkDIB& destination, const TNkDIB& mask1bit, const TRect& rect);

// Blends `newImage` over `oldImage` into `destination` at `strength` per cent, over the
// area the three images share (the 640 x 480 frame). A negative strength counts as 0,
// above 100 as 100. At 100 the new image is copied unchanged; below, each byte becomes
// the table's [strength * 50 / 100][new / 4][old / 4]. `destination` may be one of the
// other two.
void BlendFrame(const BlendTable& blend, const TNkDIB& newImage, const TNkDIB& oldImage, TNkDIB& destination,
                int strength);

// Tints `rect` (right and bottom excluded, clipped to the image) towards `colour`: each
// byte becomes the table's [strength * 50 / 100][colour component / 4][byte / 4]. Nothing
// happens at a strength of 0 or below; above 100 counts as 100.
void Tint(const BlendTable& blend, TNkDIB& image, const TRect& rect, TColor colour, int strength);

// The same two routines on a chosen path (tests and benchmarks). A path the processor
// doesn't support falls back to the table.
void BlendFrameUsing(PixelPath path, const BlendTable& blend, const TNkDIB& newImage, const TNkDIB& oldImage,
                     TNkDIB& destination, int strength);
void TintUsing(PixelPath path, const BlendTable& blend, TNkDIB& image, const TRect& rect, TColor colour,
               int strength);

// Draws `sourceRect` (right and bottom excluded) of `source` with its top-left corner at
// (x, y) into a 24-bit `destination`, leaving out pixels of the colour `key` and whatever
// falls outside either image.
void DrawColourKeyed(const TNkDIB& source, const TRect& sourceRect, TNkDIB& destination, int x, int y,
                     TColor key);

// Draws the 24 x 24 frame `frame` of the key-wait strip (columns 24 * frame ..
// 24 * frame + 23) with its top-left corner at (x, y), leaving out white pixels (red,
// green and blue all 255) and whatever falls outside `destination`.
void DrawKeyWaitIcon(const TNkDIB& keyWaitImage, TNkDIB& destination, int x, int y, int frame);

inline constexpr int kKeyWaitIconSize = 24;

}  // namespace kelva
