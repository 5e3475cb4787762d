// The anti-aliased text renderer: draws short pieces of CP932 text (as a rule one
// character) into a 24-bit image in a text colour, with a one-pixel outline or drop
// shadow in an edge colour.
//
// Smoothing is by supersampling: the text is rasterised black-and-white at twice its
// size, each output pixel counts the lit samples of an F x F block (blocks every two
// samples, so with F = 3 neighbours overlap by a sample), and the count picks one of
// F x F + 1 coverage levels that blend the colour over the target. The plain mode draws
// hard-edged letters straight into the target.
//
// One call renders at most 256 x 256 output pixels in smoothed mode and in plain outline
// mode (the scratch images are made at that size when first needed); whatever lies
// beyond is cut off and the returned box is cut to match. Plain drawing without outline
// has no such limit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "graphics/CoverageInks.h"
#include "graphics/FontSpec.h"
#include "graphics/NkDIB.h"
#include "platform/FontRasteriser.h"

namespace kelva {

inline constexpr uint8_t kDecorationNone = 0;
inline constexpr uint8_t kDecorationOutline = 1;
inline constexpr uint8_t kDecorationShadow = 2;

// The pixel height a font has at twice its point size. The font object keeps its size in
// whole points at 96 pixels per inch, so the doubled size goes through whole points:
// 28 pixels (21 points) gives 56, but 13 pixels (10 points) gives 27, not 26.
int DoubledPixelHeight(int pixelHeight);

class TAntiAliasTextout {
public:
    // Borrows the rasteriser, which must outlive the renderer.
    explicit TAntiAliasTextout(FontRasteriser& rasteriser);

    // Settings, read at every call. `Target` is borrowed and must be 24 bits per pixel
    // when drawn into; with no target, or another format, nothing is drawn.
    TNkDIB* Target = nullptr;
    FontSpec Font;
    TColor TextColor = 0;
    TColor EdgeColor = 0;
    // F: side of the sample block and margin; 2 and 3 are the sizes in use. Values
    // outside 1..kMaxFilterSize are taken as the nearest of those.
    uint8_t FilterSize = 3;
    bool Smooth = true;
    // kDecorationNone, kDecorationOutline or kDecorationShadow; other values draw as none.
    uint8_t Decoration = 0;

    static constexpr int kMaxFilterSize = 16;

    // Draws `text` with the box's top-left corner at (x, y) and returns the box as
    // (x, y, x + width, y + height). Smoothed, the box is the double-size extent plus 2F
    // margins, halved, and the letters stand F / 2 pixels in; plain with outline, the
    // extent plus (4, 6) with the letters 2 pixels in; plain otherwise, the extent. Parts
    // outside the target are left out, the box is not cut to the target.
    TRect DrawText(int x, int y, std::string_view text);

    // The advance the layout uses for `text`: (double-size extent + F) / 2 in both
    // directions, smoothed or not.
    TPoint MeasureText(std::string_view text) const;

    // Smoothed pieces of text keep their sample counts, so a character drawn again costs
    // only its blending. The cache holds this many pieces and starts afresh when full: a
    // story's text uses a few hundred characters in one font.
    static constexpr size_t kMaxCachedPieces = 1024;

private:
    // A smoothed piece is cached as the level of each output pixel (see CoverageInks):
    // its text count; with an outline, N + the text count on letter pixels and the count
    // of the thickened letters around them.
    using Coverage = LevelImage;

    int ClampedFilterSize() const;
    FontSpec DoubledFont() const;
    const Coverage& SmoothCoverage(std::string_view text);
    Coverage MakeSmoothCoverage(std::string_view text, bool outline);
    TRect DrawSmooth(int x, int y, std::string_view text);
    TRect DrawPlain(int x, int y, std::string_view text);
    TRect DrawPlainOutline(int x, int y, std::string_view text);
    // The scratch image, made at its size on first use: most renderers (one per control)
    // never draw the kind of text that needs it.
    static TNkDIB& Scratch(TNkDIB& image, int side);

    FontRasteriser& m_rasteriser;
    TNkDIB m_glyphImage;                  // 512 x 512, 8 bits, for smoothed text
    TNkDIB m_coverageImage;               // 256 x 256, 8 bits, for plain outlined text
    std::vector<uint8_t> m_plainScratch;  // plain drawing's single-size letters, reused
    std::string m_key;                    // the cache key of the piece looked up, reused
    std::unordered_map<std::string, Coverage> m_coverageCache;
    CoverageInks m_inks;
};

}  // namespace kelva
