// The text rasteriser on FreeType, with fontconfig to find the font files.
//
// Face names are the engine's (CP932); they map to installed fonts through a fixed table:
//   "ＭＳ Ｐゴシック" -> IPAPGothic    "ＭＳ Ｐ明朝" -> IPAPMincho
//   "ＭＳ ゴシック"   -> IPAGothic     "ＭＳ 明朝"   -> IPAMincho
//   "Arial"           -> Liberation Sans
// Any other name is taken as a family name when a font of exactly that family is
// installed, else it gets IPAPGothic. A character the chosen face lacks is drawn from
// IPAPGothic (Liberation Sans has no kana). Bold uses the family's bold font where there
// is one and otherwise thickens the outlines, which widens the advance too, as a bold
// face would. Character heights 0 and below mean 12 and -h pixels; heights are capped at
// kMaxPixelHeight.
//
// Every face is opened once, and every glyph is rendered once per face, height, weight,
// escapement and raster mode; drawing and measuring then cost a table look-up and a copy
// per character. The glyph cache is dropped as a whole when it passes kGlyphCacheBytes.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/FontRasteriser.h"

namespace kelva {

class FreeTypeRasteriser final : public FontRasteriser {
public:
    static constexpr int kMaxPixelHeight = 2048;
    static constexpr int64_t kGlyphCacheBytes = 32 * 1024 * 1024;

    // nullptr when FreeType or fontconfig cannot be started. A missing font file is no
    // failure: text in that face measures 0 wide and draws nothing.
    static std::unique_ptr<FreeTypeRasteriser> Create();
    ~FreeTypeRasteriser() override;

    TextExtent MeasureText(const FontSpec& font, std::string_view text) override;
    void DrawText(const FontSpec& font, std::string_view text, const GreyBuffer& target, int x, int y,
                  RasterMode mode) override;

    // Work done so far, to check that the caches hold.
    struct Counters {
        int FacesOpened = 0;
        int64_t GlyphsRendered = 0;
    };
    Counters WorkDone() const;

private:
    struct Impl;
    explicit FreeTypeRasteriser(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kelva
