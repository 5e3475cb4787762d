// The command vocabulary of a story: the command and fade-effect name tables, the
// splitting of a command line into tokens, the command words the player carries out,
// and the conversions of effect and number tokens.
//
// All text is CP932. Command words and effect names are compared after upper-casing
// ASCII letters only, so a double-byte character is never altered.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelva {

// The 11 command names in English, then the same 11 in Japanese (entry i + 11 is the
// Japanese name of entry i). The player itself matches command words against
// `CommandWord` below, never against this table; it completes the vocabulary for
// tools and for the second language.
inline constexpr int kCommandNameCount = 22;
extern const std::array<const char*, kCommandNameCount> kCommandNames;

// The 10 fade-effect names in English, then the same 10 in Japanese. The index of an
// English name is its effect number.
inline constexpr int kFadeEffectNameCount = 20;
inline constexpr int kFadeEffectCount = 10;
extern const std::array<const char*, kFadeEffectNameCount> kFadeEffectNames;

// The effect number of an English fade name, any letter case: its index 0..9 in
// `kFadeEffectNames`. Any other name, an empty one or a Japanese one included, gives
// 0 (the story's standard effect).
int FadeEffectNumber(std::string_view name);

// The tokens of one command line: slots for tokens 1 to 8 and the token count.
struct CommandTokens {
    static constexpr int kCapacity = 8;

    std::array<std::string, kCapacity> slots;
    int count = 0;

    // Token n (1-based). Numbers outside 1..8 give an empty token, so a command may
    // read an argument the line didn't have and see it empty.
    const std::string& Token(int n) const;
};

// Splits a command line into `tokens`. Token 1 is the command word with its full stop.
// A tab, a space or a comma ends a token; spaces right after a separator belong to it,
// so a run of spaces counts once, while a separator at the end of the line adds an
// empty token. A double-byte character is kept whole: its trail byte never separates.
// An empty line sets the count to 1 and leaves the tokens as they were. Text after the
// eighth token is dropped and the count stays at most 8.
void ParseCommand(std::string_view line, CommandTokens& tokens);

// The command words the player carries out. Any other word does nothing, the fade
// effect command and every Japanese command name included.
enum class CommandWord {
    None,
    NextPage,
    Wait,
    GraphLoad,
    GraphFill,
    CharSet,
    CharDelete,
    CharClear,
    MidiPlay,
    MidiStop,
    MidiFadeOut,
    SoundPlay,
    SoundStop,
    CdPlay,
    CdStop,
    CounterSet,
    CounterPlus,
    CounterRndSet,
    CounterRndPlus,
    FontType,
    FontSize,
    FontColor,
    FontDefault,
};

inline constexpr int kCommandWordCount = 22;

// The command word that token 1 names: the whole token is compared after upper-casing
// ASCII letters (".MidiStop" is ".MIDISTOP"). `CommandWord::None` for any other token.
CommandWord LookupCommandWord(std::string_view token1);

// The word as it is written in the upper case, with its full stop (".WAIT");
// empty for `CommandWord::None`.
std::string_view CommandWordText(CommandWord word);

// The least token count, the word included, with which the command acts; with fewer
// it does nothing (a character delete still begins a page). ".WAIT" has no minimum and
// reads token 2 whatever the count, so it gives 1.
int MinimumTokenCount(CommandWord word);

// A token that must be a decimal integer isn't one. The message is CP932 text for the
// reader and names the token.
class NumberConversionError : public std::runtime_error {
public:
    explicit NumberConversionError(std::string_view token);
    const std::string& Token() const { return m_token; }

private:
    std::string m_token;
};

// A decimal integer token: an optional "+" or "-" followed by one or more digits 0-9,
// nothing else, with a value that fits in 32 bits. Anything else, an empty token
// included, throws NumberConversionError.
int32_t TokenToInt(std::string_view token);

// An effect token: a decimal effect number when its first character is a digit 0-9
// (converted with TokenToInt, so "4x" throws), otherwise an English fade name looked up
// with FadeEffectNumber. The number is not range-checked here; the transitions decide
// what an unknown number shows.
int EffectTokenNumber(std::string_view token);

}  // namespace kelva
