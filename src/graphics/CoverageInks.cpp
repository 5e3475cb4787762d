#include "graphics/CoverageInks.h"

#include <algorithm>

namespace kelva {

void CoverageInks::Prepare(int samples, TColor textColor, TColor edgeColor)
{
    if (samples == m_samples && textColor == m_textColor && edgeColor == m_edgeColor) return;
    if (samples != m_samples) {
        m_scales.resize(static_cast<size_t>(samples + 1) * 256);
        for (int k = 0; k <= samples; ++k) {
            const int keep = 100 - k * 100 / samples;
            for (int byte = 0; byte < 256; ++byte)
                m_scales[k * 256 + byte] = static_cast<uint8_t>(byte * keep / 100);
        }
    }
    m_samples = samples;
    m_textColor = textColor;
    m_edgeColor = edgeColor;

    const auto share = [samples](TColor color, int k) {
        const int percent = k * 100 / samples;
        return std::array<uint8_t, 3>{static_cast<uint8_t>(ColorBlue(color) * percent / 100),
                                      static_cast<uint8_t>(ColorGreen(color) * percent / 100),
                                      static_cast<uint8_t>(ColorRed(color) * percent / 100)};
    };
    const auto scaleOf = [](int k) { return k * 256; };
    m_inks.resize(3 * static_cast<size_t>(samples) + 2);
    Ink* text = m_inks.data();
    Ink* edge = text + samples + 1;
    Ink* letter = edge + samples;  // letter[k] for k = 1 .. N
    for (int k = 0; k <= samples; ++k) {
        text[k] = {scaleOf(k), share(textColor, k)};
        edge[k] = {scaleOf(k), share(edgeColor, k)};
    }
    for (int k = 1; k <= samples; ++k) {
        // Level N keeps nothing of the target; the two shares add up byte by byte.
        letter[k] = {scaleOf(samples), {}};
        for (int b = 0; b < 3; ++b) {
            letter[k].Add[b] = static_cast<uint8_t>(edge[samples - k].Add[b] + text[k].Add[b]);
        }
    }
}

void CutRows(LevelImage& image)
{
    image.Rows.resize(static_cast<size_t>(image.Height));
    for (int j = 0; j < image.Height; ++j) {
        const uint16_t* levels = image.Levels.data() + static_cast<size_t>(j) * image.Width;
        int begin = 0;
        int end = image.Width;
        while (begin < end && levels[begin] == 0) ++begin;
        while (end > begin && levels[end - 1] == 0) --end;
        image.Rows[j] = {begin, end};
    }
}

void BlendLevels(TNkDIB& target, int64_t x, int64_t y, const LevelImage& image, const uint8_t* scales,
                 const Ink* inks)
{
    const int64_t columnBegin = std::max<int64_t>(0, -x);
    const int64_t columnEnd = std::min<int64_t>(image.Width, target.Width() - x);
    const int64_t rowEnd = std::min<int64_t>(image.Height, target.Height() - y);
    for (int64_t j = std::max<int64_t>(0, -y); j < rowEnd; ++j) {
        const LevelRow row = image.Rows[static_cast<size_t>(j)];
        const int64_t begin = std::max<int64_t>(row.Begin, columnBegin);
        const int64_t end = std::min<int64_t>(row.End, columnEnd);
        if (begin >= end) continue;
        const uint16_t* levels = image.Levels.data() + j * image.Width;
        uint8_t* pixel = target.ScanLine(static_cast<int>(y + j)) + (x + begin) * 3;
        for (int64_t i = begin; i < end; ++i, pixel += 3) {
            // Everything read before the first store: a byte store may alias any of it.
            const Ink& ink = inks[levels[i]];
            const uint8_t* scale = scales + ink.Scale;
            const std::array<uint8_t, 3> add = ink.Add;
            const uint8_t blue = pixel[0];
            const uint8_t green = pixel[1];
            const uint8_t red = pixel[2];
            pixel[0] = static_cast<uint8_t>(scale[blue] + add[0]);
            pixel[1] = static_cast<uint8_t>(scale[green] + add[1]);
            pixel[2] = static_cast<uint8_t>(scale[red] + add[2]);
        }
    }
}

}  // namespace kelva
