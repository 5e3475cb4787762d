#include <gtest/gtest.h>

#include "core/MessageLayout.h"

namespace kelva {
namespace {

TEST(MessageLayout, CharactersWrapByTheirMiddleHangPunctuationAndFillThePage)
{
    struct Case {
        TPoint cursor;
        const char* character;
        Placement expected;
    };
    const TPoint size{28, 30};  // line step 42
    const Case cases[] = {
        {{26, 26}, "あ", Placement::Here},
        {{576, 26}, "あ", Placement::Here},      // its middle (590) is still inside
        {{577, 26}, "あ", Placement::NextLine},  // its middle passes the margin
        {{600, 26}, "。", Placement::Here},      // hangs past the margin
        {{600, 26}, "」", Placement::Here},
        {{600, 26}, "「", Placement::NextLine},           // opening brackets don't hang
        {{577, 26 + 8 * 42}, "あ", Placement::NextLine},  // the tenth line still fits
        {{577, 26 + 9 * 42}, "あ", Placement::PageFull},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceCharacter(c.cursor, size, c.character), c.expected) << c.cursor.X << "," << c.cursor.Y;
    }
}

TEST(MessageLayout, LineStepIsFortyPercentMoreThanTheCharacterAndNeverZero)
{
    EXPECT_EQ(LineStep(30), 42);
    EXPECT_EQ(LineStep(29), 40);
    EXPECT_EQ(LineStep(0), 1);  // a page of empty-height text still fills
}

TEST(MessageLayout, KeyWaitIconBlinksEvery250MillisecondsAndStaysOnTheStage)
{
    EXPECT_EQ(KeyWaitBlinkFrame(8, 30), 1);  // 8 ticks of 30 ms: the second frame
    EXPECT_EQ(KeyWaitBlinkFrame(7, 30), 0);
    EXPECT_EQ(KeyWaitBlinkFrame(3, 400), 1);  // slower than the blink: a frame a tick
    EXPECT_EQ(KeyWaitIconArea({630, 470}), (TRect{630, 470, 640, 480}));
}

}  // namespace
}  // namespace kelva
