#include "HeaderFields.h"

#include <cstdio>
#include <limits>

namespace kelva::knovel {

namespace {

using H = CNovelFileHeader;
using T = HeaderFieldType;
using G = HeaderFieldGroup;

constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();

HeaderField Make(const char* key, const char* name, int offset, T type, G group)
{
    HeaderField f;
    f.Key = key;
    f.Name = name;
    f.Offset = offset;
    f.Type = type;
    f.Group = group;
    return f;
}

HeaderField Text(const char* key, const char* name, int offset, int capacity, std::string H::*member,
                 G group = G::Main)
{
    HeaderField f = Make(key, name, offset, T::String, group);
    f.Capacity = capacity;
    f.Text = member;
    return f;
}

HeaderField Int(const char* key, const char* name, int offset, int64_t min, int32_t H::*member,
                G group = G::Main)
{
    HeaderField f = Make(key, name, offset, T::Int, group);
    f.Min = min;
    f.Max = kIntMax;
    f.Int = member;
    return f;
}

HeaderField Byte(const char* key, const char* name, int offset, int64_t max, uint8_t H::*member,
                 G group = G::Main)
{
    HeaderField f = Make(key, name, offset, T::Byte, group);
    f.Max = max;
    f.Byte = member;
    return f;
}

HeaderField Flag(const char* key, const char* name, int offset, bool H::*member)
{
    HeaderField f = Make(key, name, offset, T::Bool, G::Main);
    f.Flag = member;
    return f;
}

HeaderField Colour(const char* key, const char* name, int offset, uint32_t H::*member, G group = G::Main)
{
    HeaderField f = Make(key, name, offset, T::Colour, group);
    f.Colour = member;
    return f;
}

}  // namespace

const std::array<HeaderField, kHeaderFieldCount>& HeaderFields()
{
    // Times, sizes and the frame interval can't be negative; effect parameters and the
    // font and edge selectors take any value (the player treats unknown ones as defaults).
    static const std::array<HeaderField, kHeaderFieldCount> fields = {
        Text("title", "Title", 1586, 255, &H::Title),
        Text("start_item", "StartItem", 45, 255, &H::StartItem),
        Text("logo_picture", "LogoPicture", 301, 255, &H::LogoPicture),
        Text("title_picture", "TitlePicture", 557, 255, &H::TitlePicture),
        Text("title_music", "TitleMusic", 813, 255, &H::TitleMusic),
        Text("logo_music", "LogoMusic", 1842, 255, &H::LogoMusic),
        Int("frame_interval", "FrameInterval", 2354, 0, &H::FrameInterval),
        Text("bg_effect", "BgEffect", 2401, 32, &H::BgEffect),
        Int("bg_effect_param", "BgEffectParam", 2362, kIntMin, &H::BgEffectParam),
        Int("bg_effect_time", "BgEffectTime", 2366, 0, &H::BgEffectTime),
        Text("char_effect", "CharEffect", 2434, 32, &H::CharEffect),
        Int("char_effect_param", "CharEffectParam", 2467, kIntMin, &H::CharEffectParam),
        Int("char_effect_time", "CharEffectTime", 2471, 0, &H::CharEffectTime),
        Byte("bookmark_mode", "BookmarkMode", 2370, 2, &H::BookmarkMode),
        Int("font_kind", "FontKind", 2372, kIntMin, &H::FontKind),
        Int("font_height", "FontHeight", 2376, 0, &H::FontHeight),
        Int("text_edge_style", "TextEdgeStyle", 2380, kIntMin, &H::TextEdgeStyle),
        Flag("smooth_text", "SmoothText", 2384, &H::SmoothText),
        Colour("text_color", "TextColor", 2385, &H::TextColor),
        Colour("edge_color", "EdgeColor", 2389, &H::EdgeColor),
        Colour("choice_box_color", "ChoiceBoxColor", 2393, &H::ChoiceBoxColor),
        Flag("start_windowed", "StartWindowed", 2475, &H::StartWindowed),
        Flag("display_mode_choice", "DisplayModeChoice", 2476, &H::DisplayModeChoice),
        Flag("only_16bit_colour", "Only16BitColour", 2477, &H::Only16BitColour),
        Flag("midi_skip_lead_in", "MidiSkipLeadIn", 2478, &H::MidiSkipLeadIn),
        Flag("midi_gm_on", "MidiGmOn", 2479, &H::MidiGmOn),
        Flag("midi_gs_reset", "MidiGsReset", 2480, &H::MidiGsReset),
        Byte("skip_mode", "SkipMode", 2481, 2, &H::SkipMode),
        Flag("uses_mp3", "UsesMp3", 2482, &H::UsesMp3),
        Text("magic", "Magic", 0, 32, &H::Magic, G::Magic),
        Int("unused37", "Unused37", 37, kIntMin, &H::Unused37, G::Unused),
        Int("unused41", "Unused41", 41, kIntMin, &H::Unused41, G::Unused),
        Text("unused1069", "Unused1069", 1069, 255, &H::Unused1069, G::Unused),
        Int("unused1325", "Unused1325", 1325, kIntMin, &H::Unused1325, G::Unused),
        Text("unused1329", "Unused1329", 1329, 255, &H::Unused1329, G::Unused),
        Byte("unused1585", "Unused1585", 1585, 255, &H::Unused1585, G::Unused),
        Text("unused2098", "Unused2098", 2098, 255, &H::Unused2098, G::Unused),
        Int("unused2358", "Unused2358", 2358, kIntMin, &H::Unused2358, G::Unused),
        Byte("unused2371", "Unused2371", 2371, 255, &H::Unused2371, G::Unused),
        Colour("unused2397", "Unused2397", 2397, &H::Unused2397, G::Unused),
    };
    return fields;
}

std::string ColourText(uint32_t colour)
{
    char text[16];
    if ((colour & 0xFF000000u) != 0) {
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(colour));
    } else {
        std::snprintf(text, sizeof text, "#%02X%02X%02X", static_cast<unsigned>(colour & 0xFF),
                      static_cast<unsigned>((colour >> 8) & 0xFF),
                      static_cast<unsigned>((colour >> 16) & 0xFF));
    }
    return text;
}

std::string HeaderFieldText(const HeaderField& field, const CNovelFileHeader& header)
{
    switch (field.Type) {
        case T::String:
            return header.*field.Text;
        case T::Int:
            return std::to_string(header.*field.Int);
        case T::Byte:
            return std::to_string(header.*field.Byte);
        case T::Bool:
            return header.*field.Flag ? "true" : "false";
        case T::Colour:
            return ColourText(header.*field.Colour);
    }
    return {};
}

bool HeaderFieldIsDefault(const HeaderField& field, const CNovelFileHeader& header)
{
    static const CNovelFileHeader defaults;
    return HeaderFieldText(field, header) == HeaderFieldText(field, defaults);
}

}  // namespace kelva::knovel
