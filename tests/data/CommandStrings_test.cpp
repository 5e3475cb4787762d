#include "data/CommandStrings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelva {
namespace {

// Tokens 1..count of a line.
std::vector<std::string> Parse(std::string_view line)
{
    CommandTokens tokens;
    ParseCommand(line, tokens);
    std::vector<std::string> result;
    for (int n = 1; n <= tokens.count; ++n) result.push_back(tokens.Token(n));
    return result;
}

using List = std::vector<std::string>;

TEST(FadeEffectNumber, EnglishNamesInAnyCaseElseTheStandardEffect)
{
    for (int i = 0; i < kFadeEffectCount; ++i) EXPECT_EQ(FadeEffectNumber(kFadeEffectNames[i]), i);
    EXPECT_EQ(FadeEffectNumber("r-sutter"), 6);
    EXPECT_EQ(FadeEffectNumber("R-SHUTTER"), 0);  // the stored spelling lacks the H
    EXPECT_EQ(FadeEffectNumber(""), 0);
    EXPECT_EQ(FadeEffectNumber("BLEND "), 0);
    EXPECT_EQ(FadeEffectNumber("ブレンド"), 0);  // Japanese names are not matched
}

TEST(ParseCommand, SeparatorsSplitTokensAndRunsOfSpacesCountOnce)
{
    EXPECT_EQ(Parse(".wait 500"), (List{".wait", "500"}));
    EXPECT_EQ(Parse(".GRAPHLOAD  bg01.jpg   BLEND"), (List{".GRAPHLOAD", "bg01.jpg", "BLEND"}));
    EXPECT_EQ(Parse(".COUNTERSET,flag,1"), (List{".COUNTERSET", "flag", "1"}));
    EXPECT_EQ(Parse(".MIDIPLAY\tbgm.mid"), (List{".MIDIPLAY", "bgm.mid"}));
    // Spaces after a comma or tab belong to that separator.
    EXPECT_EQ(Parse(".FONTCOLOR, 1\t  2"), (List{".FONTCOLOR", "1", "2"}));
}

TEST(ParseCommand, EmptyTokensFromTrailingAndMixedSeparators)
{
    EXPECT_EQ(Parse(".GRAPHLOAD bg01.jpg "), (List{".GRAPHLOAD", "bg01.jpg", ""}));
    EXPECT_EQ(Parse(".A,\tB"), (List{".A", "", "B"}));
    // Only spaces are swallowed after a separator, so a space then a comma is two.
    EXPECT_EQ(Parse(".A ,B"), (List{".A", "", "B"}));
    EXPECT_EQ(Parse(" .A"), (List{"", ".A"}));
}

TEST(ParseCommand, EmptyLineKeepsTheOldTokensOtherLinesClearThem)
{
    CommandTokens tokens;
    ParseCommand(".CHARSET a b TOP LEFT", tokens);
    ParseCommand("", tokens);
    EXPECT_EQ(tokens.count, 1);
    EXPECT_EQ(tokens.Token(5), "LEFT");

    ParseCommand(".WAIT", tokens);
    EXPECT_EQ(tokens.count, 1);
    EXPECT_EQ(tokens.Token(1), ".WAIT");
    EXPECT_EQ(tokens.Token(5), "");
}

TEST(ParseCommand, DoubleByteCharactersStayWhole)
{
    // "ソ" ends in 0x5C and "ア" in 'A': both must pass unchanged.
    EXPECT_EQ(Parse(".CHARSET ソア 表.bmp"), (List{".CHARSET", "ソア", "表.bmp"}));
    // A broken pair: the byte after a lead byte is taken even when it is a separator.
    EXPECT_EQ(Parse(".A \x81,B"), (List{".A", "\x81,B"}));
    EXPECT_EQ(Parse(".A \x81 B"), (List{".A", "\x81 B"}));
    // A lead byte cut off at the end of the line is kept on its own.
    EXPECT_EQ(Parse(".A \x81"), (List{".A", "\x81"}));
}

TEST(ParseCommand, TokensAfterTheEighthAreDropped)
{
    EXPECT_EQ(Parse(".X 2 3 4 5 6 7 8 9 10"), (List{".X", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(Parse(".X 2 3 4 5 6 7 8 "), (List{".X", "2", "3", "4", "5", "6", "7", "8"}));
    EXPECT_EQ(Parse(".X,,,,,,,,,,,,,,,,,,,").size(), 8u);

    CommandTokens tokens;
    ParseCommand(".X 2 3 4 5 6 7 8 9", tokens);
    EXPECT_EQ(tokens.Token(9), "");
    EXPECT_EQ(tokens.Token(0), "");
}

TEST(CommandWord, EveryWordIsFoundInAnyCase)
{
    for (int i = 1; i <= kCommandWordCount; ++i) {
        const auto word = static_cast<CommandWord>(i);
        const std::string text(CommandWordText(word));
        ASSERT_FALSE(text.empty()) << i;
        std::string lower = text;
        for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        EXPECT_EQ(LookupCommandWord(text), word) << text;
        EXPECT_EQ(LookupCommandWord(lower), word) << lower;
    }
    EXPECT_EQ(LookupCommandWord(".MidiStop"), CommandWord::MidiStop);
}

TEST(CommandWord, OtherTokensAreNotCarriedOut)
{
    EXPECT_EQ(LookupCommandWord(".FADEEFFECT"), CommandWord::None);
    EXPECT_EQ(LookupCommandWord(".画像ロード"), CommandWord::None);
    EXPECT_EQ(LookupCommandWord("WAIT"), CommandWord::None);
    EXPECT_EQ(LookupCommandWord(".WAIT2"), CommandWord::None);
    EXPECT_EQ(LookupCommandWord(".COUNTERRND"), CommandWord::None);
    EXPECT_EQ(LookupCommandWord(""), CommandWord::None);
    EXPECT_EQ(CommandWordText(CommandWord::None), "");
}

TEST(TokenToInt, DecimalIntegersWithOptionalSignOnly)
{
    EXPECT_EQ(TokenToInt("+7"), 7);
    EXPECT_EQ(TokenToInt("-12"), -12);
    EXPECT_EQ(TokenToInt("2147483647"), 2147483647);
    EXPECT_EQ(TokenToInt("-2147483648"), INT32_MIN);
    for (const char* token : {"", "-", "12a", " 12", "1.5", "0x10", "$10", "--1", "１", "2147483648",
                              "-2147483649", "99999999999999999999999"}) {
        EXPECT_THROW(TokenToInt(token), NumberConversionError) << token;
    }
    try {
        TokenToInt("abc");
        FAIL() << "no error";
    } catch (const NumberConversionError& error) {
        EXPECT_STREQ(error.what(), "'abc' は有効な整数ではありません");
    }
}

TEST(EffectTokenNumber, DigitFirstIsANumberOtherwiseAName)
{
    EXPECT_EQ(EffectTokenNumber("4"), 4);
    EXPECT_EQ(EffectTokenNumber("12"), 12);  // range is the transitions' business
    EXPECT_EQ(EffectTokenNumber("blend"), 4);
    EXPECT_EQ(EffectTokenNumber(""), 0);
    EXPECT_EQ(EffectTokenNumber("-1"), 0);  // not a digit first: an unknown name
    EXPECT_THROW(EffectTokenNumber("4x"), NumberConversionError);
}

}  // namespace
}  // namespace kelva
