// Story text as the player types it: one character at a time, measured, then drawn
// smoothed with an outline at 28 pixels into a 640 x 480 stage, wrapping at the message
// area's right edge. The "per_char" counter is the time per character.
#include <benchmark/benchmark.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/ShiftJis.h"
#include "graphics/AntiAliasTextout.h"
#include "graphics/NkDIB.h"
#include "platform/TextCodec.h"
#include "platform/freetype/FreeTypeRasteriser.h"

namespace kelva {
namespace {

constexpr std::string_view kPage =
    "夕暮れの駅前通りは、家路を急ぐ人たちでにぎわっていた。僕は改札を抜けると、"
    "商店街の角にある古い本屋へ向かった。店の奥では、白い猫が日だまりの中で丸くなっている。"
    "「いらっしゃい。今日は早いのね」と、店番の少女が顔を上げて笑った。"
    "僕は棚の端から端まで目を走らせ、昨日見つけた青い表紙の詩集を探した。"
    "けれども、その本はどこにも見当たらなかった。"
    "「あの本なら、さっき売れちゃったよ」彼女はそう言って、少しだけ申し訳なさそうに肩をすくめた。"
    "窓の外では街灯がひとつ、またひとつと灯り始めていた。";

// The file fontconfig gives for a family name; empty when none.
std::string FontFileOf(const char* family)
{
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string path;
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return path;
}

void SetUpStoryText(TAntiAliasTextout& renderer, TNkDIB& stage)
{
    stage.FillRect(stage.BoundsRect(), MakeColor(70, 90, 120));
    renderer.Target = &stage;
    renderer.Font = FontSpec{kGothicFace, 28, false, 0};
    renderer.TextColor = MakeColor(255, 255, 255);
    renderer.EdgeColor = MakeColor(0, 0, 0);
    renderer.FilterSize = 3;
    renderer.Smooth = true;
    renderer.Decoration = kDecorationOutline;
}

// Types the page into the message area (26, 26) - (590, 460); returns the characters.
int64_t TypePage(TAntiAliasTextout& renderer)
{
    int x = 26;
    int y = 26;
    int64_t characters = 0;
    for (size_t i = 0; i < kPage.size();) {
        const size_t length = IsSjisLeadByte(static_cast<unsigned char>(kPage[i])) ? 2 : 1;
        const std::string_view character = kPage.substr(i, length);
        i += length;
        const TPoint size = renderer.MeasureText(character);
        const int lineStep = size.Y * 140 / 100;
        if (x + size.X / 2 > 590) {
            x = 26;
            y += lineStep;
            if (y + 2 * lineStep >= 460) y = 26;
        }
        benchmark::DoNotOptimize(renderer.DrawText(x, y, character));
        x += size.X;
        ++characters;
    }
    return characters;
}

void Report(benchmark::State& state, int64_t characters)
{
    state.SetItemsProcessed(characters);
    state.counters["per_char"] = benchmark::Counter(
        static_cast<double>(characters), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The usual case: the glyphs of the page are cached.
void BM_TypeStoryPage(benchmark::State& state)
{
    const auto rasteriser = FreeTypeRasteriser::Create();
    if (!rasteriser) {
        state.SkipWithError("no text rasteriser");
        return;
    }
    TAntiAliasTextout renderer(*rasteriser);
    TNkDIB stage(640, 480, 24);
    SetUpStoryText(renderer, stage);
    TypePage(renderer);
    int64_t characters = 0;
    for (auto _ : state) characters += TypePage(renderer);
    Report(state, characters);
}
BENCHMARK(BM_TypeStoryPage)->Unit(benchmark::kMicrosecond);

// The first page of a run: fonts opened and every glyph rendered on the way.
void BM_TypeFirstStoryPage(benchmark::State& state)
{
    TNkDIB stage(640, 480, 24);
    int64_t characters = 0;
    for (auto _ : state) {
        const auto rasteriser = FreeTypeRasteriser::Create();
        if (!rasteriser) {
            state.SkipWithError("no text rasteriser");
            return;
        }
        TAntiAliasTextout renderer(*rasteriser);
        SetUpStoryText(renderer, stage);
        characters += TypePage(renderer);
    }
    Report(state, characters);
}
BENCHMARK(BM_TypeFirstStoryPage)->Unit(benchmark::kMillisecond);

// The page with every glyph seen for the first time, the fonts already open: what a page
// of new characters costs the player, without the start-up work.
void BM_TypeStoryPageFirstSight(benchmark::State& state)
{
    TNkDIB stage(640, 480, 24);
    int64_t characters = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto rasteriser = FreeTypeRasteriser::Create();
        if (!rasteriser) {
            state.SkipWithError("no text rasteriser");
            return;
        }
        TAntiAliasTextout renderer(*rasteriser);
        SetUpStoryText(renderer, stage);
        renderer.MeasureText("\x82\xa0");  // opens the face and its size
        state.ResumeTiming();
        characters += TypePage(renderer);
        state.PauseTiming();
        rasteriser.reset();
        state.ResumeTiming();
    }
    Report(state, characters);
}
BENCHMARK(BM_TypeStoryPageFirstSight)->Unit(benchmark::kMillisecond);

// The same characters rendered by FreeType alone, as the player asks it for them (hinted
// outlines, black and white, at the doubled height 28 px text is drawn at): the least a
// character seen for the first time can cost.
void BM_RawFreeTypePage(benchmark::State& state)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    const std::string file = FontFileOf("IPAPGothic");
    if (FT_Init_FreeType(&library) != 0 || file.empty() ||
        FT_New_Face(library, file.c_str(), 0, &face) != 0) {
        state.SkipWithError("IPAPGothic cannot be opened");
        if (library) FT_Done_FreeType(library);
        return;
    }
    FT_Set_Pixel_Sizes(face, 0, 56);
    // The page's code points, from its UTF-8 text.
    std::vector<char32_t> page;
    const std::string utf8 = Cp932ToUtf8(kPage);
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k)
            code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        page.push_back(code);
        i += length;
    }
    int64_t characters = 0;
    for (auto _ : state) {
        for (const char32_t code : page) {
            FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO);
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
        characters += static_cast<int64_t>(page.size());
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    Report(state, characters);
}
BENCHMARK(BM_RawFreeTypePage)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kelva
