// A text rasteriser with made-up letters, for exact numbers: every text measures
// ExtentAt(font height) and draws the same set of lit pixels relative to the drawing point.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include "graphics/NkDIB.h"
#include "platform/FontRasteriser.h"

namespace kelva::test {

class FakeFontRasteriser : public FontRasteriser {
public:
    std::function<TextExtent(int height)> ExtentAt = [](int height) { return TextExtent{height, height}; };
    // Lit pixels relative to the drawing point.
    std::vector<TPoint> Ink;
    // Every height asked for, measuring or drawing.
    std::vector<int> Heights;

    // Adds the pixels of a width x height block at (x, y).
    void AddBlock(int x, int y, int width, int height)
    {
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i) Ink.push_back({x + i, y + j});
    }

    TextExtent MeasureText(const FontSpec& font, std::string_view) override
    {
        Heights.push_back(font.Height);
        return ExtentAt(font.Height);
    }

    // Like a real rasteriser, smooth mode leaves letters below full strength.
    void DrawText(const FontSpec& font, std::string_view, const GreyBuffer& target, int x, int y,
                  RasterMode mode) override
    {
        Heights.push_back(font.Height);
        const uint8_t value = mode == RasterMode::Hard ? 255 : 128;
        for (const TPoint& p : Ink) {
            const int px = x + p.X;
            const int py = y + p.Y;
            if (px < 0 || py < 0 || px >= target.Width || py >= target.Height) continue;
            uint8_t& pixel = target.Bits[py * target.Stride + px];
            pixel = std::max(pixel, value);
        }
    }
};

}  // namespace kelva::test
