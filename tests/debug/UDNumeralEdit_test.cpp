#include <gtest/gtest.h>

#include <climits>

#include "debug/UDNumeralEdit.h"
#include "graphics/FakeFontRasteriser.h"

namespace kelva {
namespace {

// An edit over [min, max] holding `value`, its text replaced by `typed` as if typed.
struct Edit {
    test::FakeFontRasteriser fonts;
    TUDNumeralEdit edit{fonts};

    Edit(int32_t min, int32_t max, int32_t value)
    {
        edit.Bounds = TRect::Bounds(0, 0, 57, 20);
        edit.SetRange(min, max);
        edit.SetNValue(value);
    }
    void Type(std::string_view typed)
    {
        edit.Enter();  // the focus selects the whole text, so typing replaces it
        edit.TextInput(typed);
    }
};

TEST(UDNumeralEdit, CommitTakesTheDigitsTheSignAndLimits)
{
    struct Case {
        const char* typed;
        int32_t min, max, before;
        int32_t after;
        const char* why;
    };
    for (const Case& c : {
             Case{"42", 0, 100, 7, 42, "plain digits"},
             Case{"999", 0, 100, 7, 100, "above Max: Max"},
             Case{"-3", 0, 100, 7, 0, "below Min: Min"},
             Case{"-5", -10, 10, 0, -5, "a minus sign"},
             Case{"－5", -10, 10, 0, -5, "a full-width minus"},
             Case{"5-3", -100, 100, 0, 53, "a minus not in front counts for nothing"},
             Case{"abc", -10, 10, 4, 4, "no digit: the previous value"},
             Case{"-", -10, 10, 4, 4, "a lone minus: the previous value"},
             Case{"9999999999", -50, 50, 0, 50, "beyond 32 bits: Max"},
             Case{"-9999999999", -50, 50, 0, -50, "beyond 32 bits, negative: Min"},
             Case{"2147483648", INT32_MIN, INT32_MAX, 0, INT32_MAX, "one past the largest"},
             Case{"-2147483648", INT32_MIN, INT32_MAX, 0, INT32_MIN, "the smallest fits"},
             Case{"1x2y3", 0, 1000, 0, 123, "letters between digits drop out"},
         }) {
        Edit e(c.min, c.max, c.before);
        e.edit.KeyCheck = false;  // what else reaches the text (pasted or typed freely)
        e.Type(c.typed);
        e.edit.Commit();
        EXPECT_EQ(e.edit.NValue(), c.after) << c.why;
        EXPECT_EQ(e.edit.Text(), std::to_string(c.after)) << c.why;
    }
}

TEST(UDNumeralEdit, KeyCheckLetsOnlyDigitsAndMinusThroughAndBackspaceDeletes)
{
    Edit e(-100, 100, 0);
    e.Type("1a-２2");
    EXPECT_EQ(e.edit.Text(), "1-2");
    e.edit.KeyDown(Key::Backspace);
    e.edit.KeyDown(Key::Backspace);
    e.edit.TextInput("7");
    EXPECT_EQ(e.edit.Text(), "17");
    e.edit.KeyDown(Key::Home);
    e.edit.TextInput("-");
    e.edit.Exit();  // leaving the field commits
    EXPECT_EQ(e.edit.NValue(), -17);
}

TEST(UDNumeralEdit, ButtonsFollowTheRangeAndAStepCommitsFirst)
{
    struct Case {
        int32_t min, max, value;
        bool up, down;
    };
    for (const Case& c : {Case{0, 10, 5, true, true}, Case{0, 10, 10, false, true},
                          Case{0, 10, 0, true, false}, Case{3, 3, 3, false, false}}) {
        Edit e(c.min, c.max, c.value);
        EXPECT_EQ(e.edit.UpEnabled(), c.up) << c.min << ".." << c.max << " at " << c.value;
        EXPECT_EQ(e.edit.DownEnabled(), c.down) << c.min << ".." << c.max << " at " << c.value;
    }
    Edit e(0, 10, 5);
    e.edit.Enabled = false;
    EXPECT_FALSE(e.edit.UpEnabled() || e.edit.DownEnabled()) << "a disabled edit steps nowhere";

    Edit typed(0, 10, 5);
    typed.Type("8");
    typed.edit.KeyDown(Key::Up);
    EXPECT_EQ(typed.edit.NValue(), 9) << "the typed 8 is taken in before the step";
    typed.edit.Step(1);
    typed.edit.Step(1);
    EXPECT_EQ(typed.edit.NValue(), 10) << "no wrap: the step stops at Max";
}

TEST(UDNumeralEdit, RangeChangesKeepTheValueInsideWhateverTheOldRangeWas)
{
    Edit e(0, 10, 8);
    e.edit.SetRange(50, 100);  // entirely above the old range
    EXPECT_EQ(e.edit.Min(), 50);
    EXPECT_EQ(e.edit.Max(), 100);
    EXPECT_EQ(e.edit.NValue(), 50);
    e.edit.SetRange(-5, -1);  // entirely below
    EXPECT_EQ(e.edit.Min(), -5);
    EXPECT_EQ(e.edit.NValue(), -1);
    e.edit.SetMin(7);  // never above Max
    EXPECT_EQ(e.edit.Min(), -1);
}

}  // namespace
}  // namespace kelva
