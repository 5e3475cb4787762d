// A font as the engine asks for it: a face name (CP932), a character height in pixels,
// a weight and an escapement. The text rasteriser maps face names to installed fonts.
#pragma once

#include <string>

namespace kelva {

inline constexpr const char* kGothicFace = "ＭＳ Ｐゴシック";
inline constexpr const char* kMinchoFace = "ＭＳ Ｐ明朝";

struct FontSpec {
    std::string Face = kGothicFace;  // the platform's default face
    int Height = 12;                 // character height in pixels, not cell height
    bool Bold = false;
    int Escapement = 0;  // tenths of a degree, counter-clockwise

    bool operator==(const FontSpec&) const = default;
};

}  // namespace kelva
