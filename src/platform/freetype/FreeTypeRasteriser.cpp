// Compiled with a UTF-8 execution character set: the face table below holds UTF-8 names,
// and the engine's CP932 face names are converted once per distinct name.
#include "platform/freetype/FreeTypeRasteriser.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <fontconfig/fontconfig.h>
#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/ShiftJis.h"
#include "platform/TextCodec.h"

namespace kelva {

namespace {

struct LibraryDeleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
struct ConfigDeleter {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using LibraryHandle = std::unique_ptr<FT_LibraryRec_, LibraryDeleter>;
using FaceHandle = std::unique_ptr<FT_FaceRec_, FaceDeleter>;
using ConfigHandle = std::unique_ptr<FcConfig, ConfigDeleter>;
using PatternHandle = std::unique_ptr<FcPattern, PatternDeleter>;
using IconvHandle = std::unique_ptr<void, IconvCloser>;

constexpr const char* kDefaultFamily = "IPAPGothic";
constexpr int kDefaultPixelHeight = 12;

// The stories' Japanese faces have no internal leading: their cell is exactly the character
// height, and the stand-ins, whose own cells are taller, are measured that way too so that
// line steps and page breaks come out as the stories were written for.
struct Substitute {
    const char* Face;
    const char* Family;
    bool EmCell;
};
constexpr Substitute kSubstitutes[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic", true}, {"ＭＳ Ｐ明朝", "IPAPMincho", true},
    {"ＭＳ ゴシック", "IPAGothic", true},    {"ＭＳ 明朝", "IPAMincho", true},
    {"Arial", "Liberation Sans", false},
};

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// One opened font file.
struct FontFile {
    FaceHandle Face;
    // Sizes belong to the face and go with it.
    std::unordered_map<int, FT_Size> Sizes;
    // The cell as the system's text layout sees it: the OS/2 table's Windows ascent and
    // descent, which include the room for accents; 0 when the font has no such table.
    int WinAscent = 0;
    int WinDescent = 0;
};

// One family as the engine's face names reach it.
// Files are looked for on first use, the bold one only when bold text asks for it.
struct Family {
    std::string Name;     // fontconfig family, UTF-8
    bool EmCell = false;  // the cell is the character height (see kSubstitutes)
    bool RegularLooked = false;
    bool BoldLooked = false;
    FontFile* Regular = nullptr;  // nullptr when no file could be opened
    FontFile* Bold = nullptr;     // nullptr: thicken the regular outlines
};

// The file a style is drawn from, and whether its outlines need thickening.
struct StyleFile {
    FontFile* File = nullptr;
    bool Embolden = false;
};

struct CellMetrics {
    int Ascent = 0;
    int Descent = 0;
};

struct Glyph {
    int Left = 0;  // bitmap's left edge right of the pen
    int Top = 0;   // bitmap's top row above the baseline
    int Width = 0;
    int Rows = 0;
    int Advance = 0;            // whole pixels, unrotated
    std::vector<uint8_t> Bits;  // Rows x Width, 0-255
};

// Everything a call needs about its font, found once per call.
struct Setup {
    int FamilyIndex = 0;
    int PixelHeight = 0;
    bool Bold = false;
    int Escapement = 0;  // 0 .. 3599
    CellMetrics Cell;
};

}  // namespace

struct FreeTypeRasteriser::Impl {
    LibraryHandle Library;
    ConfigHandle Config;
    IconvHandle Decoder;

    std::vector<std::unique_ptr<FontFile>> Files;
    std::unordered_map<std::string, FontFile*> FileByPath;  // "path:index"
    std::vector<Family> Families;  // [0] is the default, also the fallback for missing characters
    std::unordered_map<std::string, int> FamilyByFace;  // CP932 face name -> Families index
    std::string LastFace;
    int LastFamily = -1;

    std::unordered_map<uint64_t, Glyph> Glyphs;
    int64_t GlyphBytes = 0;
    Counters Work;

    int FamilyIndexFor(const std::string& familyName, bool emCell)
    {
        for (size_t i = 0; i < Families.size(); ++i) {
            if (EqualsIgnoringAsciiCase(Families[i].Name, familyName) && Families[i].EmCell == emCell) {
                return static_cast<int>(i);
            }
        }
        Families.push_back(Family{familyName, emCell});
        return static_cast<int>(Families.size() - 1);
    }

    // The file fontconfig picks for the family; with `exactFamily`, only a font of that
    // very family (fontconfig otherwise answers with its nearest font, whatever it is).
    struct Match {
        std::string Path;
        int Index = 0;
        int Weight = FC_WEIGHT_REGULAR;
    };
    std::optional<Match> FindFile(const std::string& familyName, bool bold, bool exactFamily)
    {
        PatternHandle pattern(FcPatternCreate());
        if (!pattern) return std::nullopt;
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(familyName.c_str()));
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
        FcConfigSubstitute(Config.get(), pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result = FcResultNoMatch;
        PatternHandle match(FcFontMatch(Config.get(), pattern.get(), &result));
        if (!match) return std::nullopt;
        if (exactFamily) {
            bool same = false;
            FcChar8* name = nullptr;
            for (int n = 0; !same && FcPatternGetString(match.get(), FC_FAMILY, n, &name) == FcResultMatch;
                 ++n) {
                same = EqualsIgnoringAsciiCase(reinterpret_cast<const char*>(name), familyName);
            }
            if (!same) return std::nullopt;
        }
        FcChar8* file = nullptr;
        if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
        Match found{reinterpret_cast<const char*>(file)};
        FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.Index);
        FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &found.Weight);
        return found;
    }

    FontFile* OpenFile(const Match& match)
    {
        const std::string key = match.Path + ":" + std::to_string(match.Index);
        if (const auto it = FileByPath.find(key); it != FileByPath.end()) return it->second;
        FT_Face face = nullptr;
        FontFile* opened = nullptr;
        if (FT_New_Face(Library.get(), match.Path.c_str(), match.Index, &face) == 0) {
            ++Work.FacesOpened;
            auto file = std::make_unique<FontFile>();
            file->Face.reset(face);
            if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
                file->WinAscent = os2->usWinAscent;
                file->WinDescent = os2->usWinDescent;
            }
            opened = file.get();
            Files.push_back(std::move(file));
        }
        FileByPath.emplace(key, opened);
        return opened;
    }

    StyleFile FileFor(int familyIndex, bool bold)
    {
        Family& family = Families[familyIndex];
        if (!family.RegularLooked) {
            family.RegularLooked = true;
            if (const auto regular = FindFile(family.Name, false, false)) family.Regular = OpenFile(*regular);
        }
        if (!bold) return {family.Regular, false};
        if (!family.BoldLooked) {
            family.BoldLooked = true;
            // fontconfig answers a bold request with the regular font when the family has
            // no bold one; only a real bold font of the family counts.
            if (const auto match = FindFile(family.Name, true, true);
                match && match->Weight >= FC_WEIGHT_DEMIBOLD) {
                FontFile* file = OpenFile(*match);
                if (file != family.Regular) family.Bold = file;
            }
        }
        return family.Bold ? StyleFile{family.Bold, false} : StyleFile{family.Regular, true};
    }

    int FamilyForFace(const std::string& face)
    {
        if (LastFamily >= 0 && face == LastFace) return LastFamily;
        int index = 0;
        if (const auto it = FamilyByFace.find(face); it != FamilyByFace.end()) {
            index = it->second;
        } else {
            const std::string name = Cp932ToUtf8(face);
            std::optional<std::string> familyName;
            bool emCell = false;
            for (const Substitute& substitute : kSubstitutes) {
                if (EqualsIgnoringAsciiCase(name, substitute.Face)) {
                    familyName = substitute.Family;
                    emCell = substitute.EmCell;
                }
            }
            if (!familyName && !name.empty() && FindFile(name, false, true)) familyName = name;
            index = FamilyIndexFor(familyName.value_or(kDefaultFamily), emCell);
            FamilyByFace.emplace(face, index);
        }
        LastFace = face;
        LastFamily = index;
        return index;
    }

    FT_Size SizeFor(FontFile& file, int pixelHeight)
    {
        if (const auto it = file.Sizes.find(pixelHeight); it != file.Sizes.end()) return it->second;
        FT_Size size = nullptr;
        if (FT_New_Size(file.Face.get(), &size) != 0) return nullptr;
        FT_Activate_Size(size);
        if (FT_Set_Pixel_Sizes(file.Face.get(), 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
            FT_Done_Size(size);
            return nullptr;
        }
        file.Sizes.emplace(pixelHeight, size);
        return size;
    }

    CellMetrics Cell(FontFile* file, int pixelHeight, bool emCell)
    {
        if (!file) return {};
        const int unitsPerEm = file->Face->units_per_EM;
        // An em cell splits the character height as the font's own ascender and descender do.
        const FT_Short ascender = file->Face->ascender;
        const FT_Short descender = file->Face->descender;
        if (emCell && ascender > 0 && descender <= 0) {
            const int64_t span = int64_t{ascender} - descender;
            const int ascent = static_cast<int>((int64_t{ascender} * pixelHeight + span / 2) / span);
            return {ascent, pixelHeight - ascent};
        }
        if (unitsPerEm > 0 && file->WinAscent + file->WinDescent > 0) {
            const auto scale = [&](int units) {
                return static_cast<int>((int64_t{units} * pixelHeight + unitsPerEm / 2) / unitsPerEm);
            };
            return {scale(file->WinAscent), scale(file->WinDescent)};
        }
        FT_Size size = SizeFor(*file, pixelHeight);
        if (!size) return {};
        return {static_cast<int>((size->metrics.ascender + 63) >> 6),
                static_cast<int>((-size->metrics.descender + 63) >> 6)};
    }

    Setup Prepare(const FontSpec& font)
    {
        Setup setup;
        setup.FamilyIndex = FamilyForFace(font.Face);
        const int height = font.Height > 0   ? font.Height
                           : font.Height < 0 ? -font.Height
                                             : kDefaultPixelHeight;
        setup.PixelHeight = std::clamp(height, 1, kMaxPixelHeight);
        setup.Bold = font.Bold;
        setup.Escapement = (font.Escapement % 3600 + 3600) % 3600;
        setup.Cell = Cell(FileFor(setup.FamilyIndex, setup.Bold).File, setup.PixelHeight,
                          Families[setup.FamilyIndex].EmCell);
        return setup;
    }

    std::optional<char32_t> Decode(uint16_t code)
    {
        if (!Decoder) return std::nullopt;
        char bytes[2];
        size_t inLeft = 0;
        if (code > 0xFF) {
            bytes[inLeft++] = static_cast<char>(code >> 8);
            bytes[inLeft++] = static_cast<char>(code & 0xFF);
        } else {
            bytes[inLeft++] = static_cast<char>(code);
        }
        unsigned char out[8];
        char* in = bytes;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        const auto handle = static_cast<iconv_t>(Decoder.get());
        const size_t rc = iconv(handle, &in, &inLeft, &outPtr, &outLeft);
        iconv(handle, nullptr, nullptr, nullptr, nullptr);
        if (rc == static_cast<size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 4) return std::nullopt;
        return static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    }

    Glyph Render(FontFile* file, FT_UInt index, const Setup& setup, bool embolden, RasterMode mode)
    {
        Glyph glyph;
        if (!file) return glyph;
        FT_Face face = file->Face.get();
        FT_Size size = SizeFor(*file, setup.PixelHeight);
        if (!size) return glyph;
        FT_Activate_Size(size);
        if (setup.Escapement != 0) {
            const double angle = setup.Escapement / 10.0 * std::numbers::pi / 180.0;
            const auto fixed = [](double v) { return static_cast<FT_Fixed>(std::lround(v * 65536.0)); };
            // FreeType's y axis points up, so this turns the glyph counter-clockwise on screen.
            FT_Matrix matrix{fixed(std::cos(angle)), fixed(-std::sin(angle)), fixed(std::sin(angle)),
                             fixed(std::cos(angle))};
            FT_Set_Transform(face, &matrix, nullptr);
        } else {
            FT_Set_Transform(face, nullptr, nullptr);
        }
        // Hinted for black-and-white in both modes, so a character's advance does not
        // depend on the mode it is drawn in. Outlines only: embedded bitmaps can be
        // neither turned nor thickened.
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) != 0) return glyph;
        FT_GlyphSlot slot = face->glyph;
        if (embolden) FT_GlyphSlot_Embolden(slot);
        // The transform leaves the metrics upright, so this is the advance along the baseline.
        glyph.Advance = static_cast<int>((slot->metrics.horiAdvance + 32) >> 6);
        const bool hard = mode == RasterMode::Hard;
        if (FT_Render_Glyph(slot, hard ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.Left = slot->bitmap_left;
        glyph.Top = slot->bitmap_top;
        glyph.Width = static_cast<int>(bitmap.width);
        glyph.Rows = static_cast<int>(bitmap.rows);
        glyph.Bits.resize(static_cast<size_t>(glyph.Width) * glyph.Rows);
        for (int row = 0; row < glyph.Rows; ++row) {
            const uint8_t* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            uint8_t* dest = glyph.Bits.data() + static_cast<size_t>(row) * glyph.Width;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                for (int column = 0; column < glyph.Width; ++column) {
                    dest[column] = (source[column >> 3] >> (7 - (column & 7))) & 1 ? 255 : 0;
                }
            } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                std::copy(source, source + glyph.Width, dest);
            }
        }
        return glyph;
    }

    const Glyph& GlyphFor(const Setup& setup, uint16_t code, RasterMode mode)
    {
        const uint64_t key = uint64_t{code} | uint64_t(setup.Escapement) << 16 |
                             uint64_t(setup.PixelHeight) << 28 | uint64_t(setup.Bold) << 40 |
                             uint64_t(mode == RasterMode::Hard) << 41 | uint64_t(setup.FamilyIndex) << 42;
        if (const auto it = Glyphs.find(key); it != Glyphs.end()) return it->second;

        if (GlyphBytes > kGlyphCacheBytes) {
            Glyphs.clear();
            GlyphBytes = 0;
        }
        ++Work.GlyphsRendered;
        StyleFile style = FileFor(setup.FamilyIndex, setup.Bold);
        const std::optional<char32_t> codePoint = Decode(code);
        FT_UInt index = style.File && codePoint ? FT_Get_Char_Index(style.File->Face.get(), *codePoint) : 0;
        if (index == 0 && codePoint && setup.FamilyIndex != 0) {
            const StyleFile fallback = FileFor(0, setup.Bold);
            const FT_UInt fallbackIndex =
                fallback.File ? FT_Get_Char_Index(fallback.File->Face.get(), *codePoint) : 0;
            if (fallbackIndex != 0) {
                style = fallback;
                index = fallbackIndex;
            }
        }
        Glyph glyph = Render(style.File, index, setup, style.Embolden, mode);
        GlyphBytes += static_cast<int64_t>(glyph.Bits.size()) + static_cast<int64_t>(sizeof(Glyph)) + 32;
        return Glyphs.emplace(key, std::move(glyph)).first->second;
    }
};

namespace {

// Calls `visit` with the CP932 code of each character: a lead byte and its trail byte as
// one (lead << 8 | trail); a lead byte at the very end stands alone as lead << 8, which
// no font has.
template <typename Visit>
void ForEachCharacter(std::string_view text, Visit&& visit)
{
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (!IsSjisLeadByte(lead)) {
            visit(static_cast<uint16_t>(lead));
            ++i;
        } else if (i + 1 < text.size()) {
            visit(static_cast<uint16_t>(lead << 8 | static_cast<unsigned char>(text[i + 1])));
            i += 2;
        } else {
            visit(static_cast<uint16_t>(lead << 8));
            ++i;
        }
    }
}

// Hard letters are 0 or 255, for which the larger value is the bitwise or; eight pixels
// at a time.
void OrRow(uint8_t* dest, const uint8_t* source, int64_t count)
{
    int64_t n = 0;
    for (; n + 8 <= count; n += 8) {
        uint64_t a, b;
        std::memcpy(&a, dest + n, 8);
        std::memcpy(&b, source + n, 8);
        a |= b;
        std::memcpy(dest + n, &a, 8);
    }
    for (; n < count; ++n) dest[n] |= source[n];
}

}  // namespace

std::unique_ptr<FreeTypeRasteriser> FreeTypeRasteriser::Create()
{
    auto impl = std::make_unique<Impl>();
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    impl->Library.reset(library);
    impl->Config.reset(FcInitLoadConfigAndFonts());
    if (!impl->Config) return nullptr;
    const iconv_t decoder = iconv_open("UTF-32LE", "CP932");
    if (decoder != reinterpret_cast<iconv_t>(-1)) impl->Decoder.reset(decoder);
    impl->Families.push_back(Family{kDefaultFamily, false});
    return std::unique_ptr<FreeTypeRasteriser>(new FreeTypeRasteriser(std::move(impl)));
}

FreeTypeRasteriser::FreeTypeRasteriser(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

// Impl's members go in reverse order: the faces before the library that made them.
FreeTypeRasteriser::~FreeTypeRasteriser() = default;

FreeTypeRasteriser::Counters FreeTypeRasteriser::WorkDone() const
{
    return m_impl->Work;
}

TextExtent FreeTypeRasteriser::MeasureText(const FontSpec& font, std::string_view text)
{
    const Setup setup = m_impl->Prepare(font);
    int width = 0;
    // Drawing is nearly always in hard mode, so measuring renders (once) what it will need.
    ForEachCharacter(
        text, [&](uint16_t code) { width += m_impl->GlyphFor(setup, code, RasterMode::Hard).Advance; });
    return {width, setup.Cell.Ascent + setup.Cell.Descent};
}

void FreeTypeRasteriser::DrawText(const FontSpec& font, std::string_view text, const GreyBuffer& target,
                                  int x, int y, RasterMode mode)
{
    if (!target.Bits || target.Width <= 0 || target.Height <= 0) return;
    const Setup setup = m_impl->Prepare(font);
    // The pen runs along the baseline, which starts the ascent below the cell's corner
    // (turned with the text).
    double cosine = 1;
    double sine = 0;
    if (setup.Escapement != 0) {
        const double angle = setup.Escapement / 10.0 * std::numbers::pi / 180.0;
        cosine = std::cos(angle);
        sine = std::sin(angle);
    }
    double penX = x + setup.Cell.Ascent * sine;
    double penY = y + setup.Cell.Ascent * cosine;
    ForEachCharacter(text, [&](uint16_t code) {
        const Glyph& glyph = m_impl->GlyphFor(setup, code, mode);
        const int64_t left = std::lround(penX) + glyph.Left;
        const int64_t top = std::lround(penY) - glyph.Top;
        const int64_t column0 = std::max<int64_t>(0, -left);
        const int64_t column1 = std::min<int64_t>(glyph.Width, target.Width - left);
        const int64_t row0 = std::max<int64_t>(0, -top);
        const int64_t row1 = std::min<int64_t>(glyph.Rows, target.Height - top);
        for (int64_t row = row0; row < row1; ++row) {
            const uint8_t* source = glyph.Bits.data() + row * glyph.Width + column0;
            uint8_t* dest = target.Bits + (top + row) * target.Stride + left + column0;
            const int64_t count = column1 - column0;
            if (mode == RasterMode::Hard) {
                OrRow(dest, source, count);
            } else {
                for (int64_t n = 0; n < count; ++n) dest[n] = std::max(dest[n], source[n]);
            }
        }
        penX += glyph.Advance * cosine;
        penY -= glyph.Advance * sine;
    });
}

}  // namespace kelva
