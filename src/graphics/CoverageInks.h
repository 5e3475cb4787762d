// Blending smoothed text into a 24-bit image from its coverage levels. A level says how
// much of a colour covers an output pixel: for N = F x F samples, level k keeps
// (100 - f) % of the target and adds f % of the colour, f = k x 100 div N, each byte
// rounded down on its own. The inks turn that into two table lookups per byte, so the
// blending loop has neither divisions nor branches.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "graphics/NkDIB.h"

namespace kelva {

// What one level does to a pixel: byte b becomes scales[Scale + byte] + Add[b], where
// the 256 entries from Scale are each byte times the level's keep share. An offset, not a
// pointer, so a copied renderer's inks stay its own.
struct Ink {
    int Scale;
    std::array<uint8_t, 3> Add;
};

// The inks of every level for a sample count and two colours, made again only when one
// of them changes.
class CoverageInks {
public:
    void Prepare(int samples, TColor textColor, TColor edgeColor);

    // The tables Ink::Scale points into.
    const uint8_t* Scales() const { return m_scales.data(); }
    // Levels 0 .. N in the text colour, and in the edge colour.
    const Ink* Text() const { return m_inks.data(); }
    const Ink* Edge() const { return m_inks.data() + m_samples + 1; }
    // The outline's levels: 0 .. N are the edge ring's (Edge()); N + k is a letter pixel
    // of text level k (1 .. N), which takes the edge at N - k plus the text at k and
    // replaces the target outright.
    const Ink* Outline() const { return Edge(); }

private:
    int m_samples = 0;
    TColor m_textColor = 0;
    TColor m_edgeColor = 0;
    std::vector<uint8_t> m_scales;  // N + 1 tables of 256: level k's keep share of each byte
    std::vector<Ink> m_inks;        // text 0 .. N, edge 0 .. N, letter 1 .. N
};

// A row of levels cut to the stretch that holds any level but 0: columns Begin .. End-1.
struct LevelRow {
    int Begin = 0;
    int End = 0;
};

// Levels for Width x Height output pixels, row by row, each row with its stretch.
struct LevelImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint16_t> Levels;
    std::vector<LevelRow> Rows;
};

// Finds each row's stretch of levels other than 0 (Levels filled).
void CutRows(LevelImage& image);

// Blends `image` with its top-left corner at (x, y) into the 24-bit `target` through
// `inks` (indexed by level, scaling through `scales`); what lies outside the target is
// left out.
void BlendLevels(TNkDIB& target, int64_t x, int64_t y, const LevelImage& image, const uint8_t* scales,
                 const Ink* inks);

}  // namespace kelva
