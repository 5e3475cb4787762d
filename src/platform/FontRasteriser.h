// The text rasteriser: measures and draws CP932 text in a font (face name, character
// height in pixels, weight, escapement) into 8-bit images. The anti-aliased text
// renderer and every other piece of text on the stage goes through it.
//
// Coordinates: (x, y) is the top-left corner of the text's cell, y downwards; the
// baseline lies the font's ascent below it. Escaped (rotated) text turns counter-clockwise
// about that corner.
//
// A rasteriser keeps state (open faces, cached glyphs) and is used from one thread.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string_view>

#include "graphics/FontSpec.h"

namespace kelva {

// The extent of a piece of text, unrotated: Width is the sum of the characters' advances,
// Height the font's cell height (ascent + descent): the character height the font was asked
// for in the stories' Japanese faces, a little more in others.
struct TextExtent {
    int Width = 0;
    int Height = 0;
    bool operator==(const TextExtent&) const = default;
};

// An 8-bit image the rasteriser draws into, borrowed: `Height` rows of `Width` bytes,
// row 0 at the top, rows `Stride` bytes apart.
struct GreyBuffer {
    uint8_t* Bits = nullptr;
    int Stride = 0;
    int Width = 0;
    int Height = 0;
};

enum class RasterMode {
    // Letters are 255, nothing else is touched: no smoothing at all. Drawing that tells
    // letter from edge by the value 255 needs this.
    Hard,
    // The rasteriser's own smoothing: each pixel gets the coverage 0-255 of its area.
    Smooth,
};

class FontRasteriser {
public:
    virtual ~FontRasteriser() = default;

    // The extent of `text` (CP932 bytes) in `font`. Empty text has width 0 and the
    // cell height.
    virtual TextExtent MeasureText(const FontSpec& font, std::string_view text) = 0;

    // Draws `text` with its cell's top-left corner at (x, y) of `target`, over a
    // transparent background: a pixel takes the larger of its value and the letter's
    // (255 where a Hard letter is), so drawing several times without clearing adds up.
    // Whatever falls outside the target is left out; (x, y) may lie outside it.
    virtual void DrawText(const FontSpec& font, std::string_view text, const GreyBuffer& target, int x, int y,
                          RasterMode mode) = 0;
};

// The box, relative to the drawing point, that a cell of `extent` covers once turned by
// `escapement` (tenths of a degree, counter-clockwise); exactly (0, 0, Width, Height) for
// upright text. Left/Top inclusive, Right/Bottom exclusive.
struct TextBox {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TextBox&) const = default;
};

inline TextBox RotatedTextBox(TextExtent extent, int escapement)
{
    if (escapement % 3600 == 0) return {0, 0, extent.Width, extent.Height};
    const double angle = escapement / 10.0 * std::numbers::pi / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    // The cell's corners turned about (0, 0); y grows downwards, so counter-clockwise on
    // screen takes the baseline direction (1, 0) to (cos, -sin) and "down" to (sin, cos).
    const double xs[4] = {0, extent.Width * c, extent.Height * s, extent.Width * c + extent.Height * s};
    const double ys[4] = {0, -extent.Width * s, extent.Height * c, -extent.Width * s + extent.Height * c};
    double left = 0, top = 0, right = 0, bottom = 0;
    for (int i = 0; i < 4; ++i) {
        left = std::min(left, xs[i]);
        right = std::max(right, xs[i]);
        top = std::min(top, ys[i]);
        bottom = std::max(bottom, ys[i]);
    }
    return {static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)),
            static_cast<int>(std::ceil(right)), static_cast<int>(std::ceil(bottom))};
}

}  // namespace kelva
