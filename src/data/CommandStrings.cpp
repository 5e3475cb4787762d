#include "data/CommandStrings.h"

#include <limits>

#include "data/ShiftJis.h"

namespace kelva {

const std::array<const char*, kCommandNameCount> kCommandNames = {
    ".GRAPHLOAD",    ".FADEEFFECT",   ".NEXTPAGE",   ".MIDIPLAY",   ".MIDISTOP",     ".SOUNDPLAY",
    ".SOUNDSTOP",    ".WAIT",         ".CHARSET",    ".CHARDELETE", ".CHARCLEAR",

    ".画像ロード",   ".フェード効果", ".改ページ",   ".MIDI再生",   ".MIDIストップ", ".WAVE再生",
    ".WAVEストップ", ".時間待ち",     ".キャラ表示", ".キャラ消去", ".キャラ全消去",
};

const std::array<const char*, kFadeEffectNameCount> kFadeEffectNames = {
    "DEFAULT",
    "NONE",
    "BLIND",
    "SHUTTER",
    "BLEND",
    "PUZZLE",
    // Spelled without the H of SHUTTER; stories are written with this spelling.
    "R-SUTTER",
    "CAMERA",
    "WIND",
    "CROSSLINE",

    "標準のフェード効果",
    "効果なし",
    "ブラインド",
    "シャッター",
    "ブレンド",
    "パズル",
    "回転シャッター",
    "カメラ",
    "風",
    "クロスライン",
};

namespace {

struct CommandWordEntry {
    CommandWord word;
    std::string_view text;
    int minimumTokens;
};

constexpr std::array<CommandWordEntry, kCommandWordCount> kCommandWords = {{
    {CommandWord::NextPage, ".NEXTPAGE", 1},
    {CommandWord::Wait, ".WAIT", 1},
    {CommandWord::GraphLoad, ".GRAPHLOAD", 2},
    {CommandWord::GraphFill, ".GRAPHFILL", 4},
    {CommandWord::CharSet, ".CHARSET", 5},
    {CommandWord::CharDelete, ".CHARDELETE", 2},
    {CommandWord::CharClear, ".CHARCLEAR", 1},
    {CommandWord::MidiPlay, ".MIDIPLAY", 2},
    {CommandWord::MidiStop, ".MIDISTOP", 1},
    {CommandWord::MidiFadeOut, ".MIDIFADEOUT", 2},
    {CommandWord::SoundPlay, ".SOUNDPLAY", 2},
    {CommandWord::SoundStop, ".SOUNDSTOP", 1},
    {CommandWord::CdPlay, ".CDPLAY", 2},
    {CommandWord::CdStop, ".CDSTOP", 1},
    {CommandWord::CounterSet, ".COUNTERSET", 3},
    {CommandWord::CounterPlus, ".COUNTERPLUS", 3},
    {CommandWord::CounterRndSet, ".COUNTERRNDSET", 4},
    {CommandWord::CounterRndPlus, ".COUNTERRNDPLUS", 4},
    {CommandWord::FontType, ".FONTTYPE", 2},
    {CommandWord::FontSize, ".FONTSIZE", 2},
    {CommandWord::FontColor, ".FONTCOLOR", 4},
    {CommandWord::FontDefault, ".FONTDEFAULT", 1},
}};

const CommandWordEntry* FindEntry(CommandWord word)
{
    for (const auto& entry : kCommandWords) {
        if (entry.word == word) return &entry;
    }
    return nullptr;
}

bool IsSeparator(char c)
{
    return c == '\t' || c == ' ' || c == ',';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

int FadeEffectNumber(std::string_view name)
{
    const std::string upper = UpperCaseAscii(name);
    for (int i = 0; i < kFadeEffectCount; ++i) {
        if (upper == kFadeEffectNames[i]) return i;
    }
    return 0;
}

const std::string& CommandTokens::Token(int n) const
{
    static const std::string kEmpty;
    if (n < 1 || n > kCapacity) return kEmpty;
    return slots[n - 1];
}

void ParseCommand(std::string_view line, CommandTokens& tokens)
{
    tokens.count = 1;
    if (line.empty()) return;
    for (auto& slot : tokens.slots) slot.clear();

    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        std::string& current = tokens.slots[tokens.count - 1];
        if (IsSjisLeadByte(static_cast<unsigned char>(c))) {
            // The trail byte may look like a separator or a letter; it belongs to the
            // character. A lead byte cut off at the end of the line is kept alone.
            const size_t length = i + 1 < line.size() ? 2 : 1;
            current.append(line.substr(i, length));
            i += length;
        } else if (IsSeparator(c)) {
            ++i;
            while (i < line.size() && line[i] == ' ') ++i;
            // No slot for a ninth token: the commands never read past token 8.
            if (tokens.count == CommandTokens::kCapacity) return;
            ++tokens.count;
        } else {
            current.push_back(c);
            ++i;
        }
    }
}

CommandWord LookupCommandWord(std::string_view token1)
{
    const std::string upper = UpperCaseAscii(token1);
    for (const auto& entry : kCommandWords) {
        if (upper == entry.text) return entry.word;
    }
    return CommandWord::None;
}

std::string_view CommandWordText(CommandWord word)
{
    const CommandWordEntry* entry = FindEntry(word);
    return entry ? entry->text : std::string_view();
}

int MinimumTokenCount(CommandWord word)
{
    const CommandWordEntry* entry = FindEntry(word);
    return entry ? entry->minimumTokens : 1;
}

NumberConversionError::NumberConversionError(std::string_view token)
    : std::runtime_error("'" + std::string(token) + "' は有効な整数ではありません"), m_token(token)
{
}

int32_t TokenToInt(std::string_view token)
{
    size_t i = 0;
    bool negative = false;
    if (!token.empty() && (token[0] == '+' || token[0] == '-')) {
        negative = token[0] == '-';
        ++i;
    }
    if (i == token.size()) throw NumberConversionError(token);

    // The magnitude is bounded as it grows, so a long run of digits can't overflow.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t value = 0;
    for (; i < token.size(); ++i) {
        if (!IsDigit(token[i])) throw NumberConversionError(token);
        value = value * 10 + (token[i] - '0');
        if (value > kLimit) throw NumberConversionError(token);
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) throw NumberConversionError(token);
    return static_cast<int32_t>(value);
}

int EffectTokenNumber(std::string_view token)
{
    if (!token.empty() && IsDigit(token[0])) return TokenToInt(token);
    return FadeEffectNumber(token);
}

}  // namespace kelva
