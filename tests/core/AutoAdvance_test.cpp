// Auto-advance on the real stage form: its delay, what ends it, where it never acts, and
// its sign over the shown stage.
#include "core/AutoAdvance.h"

#include <gtest/gtest.h>

#include "support/InputEvents.h"
#include "support/StageHarness.h"
#include "support/TestFiles.h"
#include "support/TranscriptWords.h"

namespace kelva {
namespace {

// Pages of 3, 2, 1 and 2 characters, then the end.
CNovelItems Pages()
{
    return test::Items({test::MakeItem("a", kItemEnd, {"あいう@", "えお@", "か@", "きく@", "おわり"})});
}

void Press(test::StageHarness& stage, Key key)
{
    InputEvent event = test::Event(InputEvent::Type::KeyDown);
    event.key = key;
    stage.Form().FormKeyDown(event);
}

// Ticks until the key wait ends (at most `limitMs`); how long it lasted.
int WaitedMs(test::StageHarness& stage, int limitMs)
{
    int waited = 0;
    while (stage.State().Mode == PlayerMode::KeyWait && waited <= limitMs) {
        stage.Tick();
        waited += stage.Form().Timer().Interval();
    }
    return waited;
}

void TickToKeyWait(test::StageHarness& stage)
{
    for (int n = 0; n < 200 && stage.State().Mode != PlayerMode::KeyWait; ++n) stage.Tick();
    ASSERT_EQ(stage.State().Mode, PlayerMode::KeyWait);
}

TEST(AutoAdvance, WaitsItsBaseAndSoMuchForEachCharacterShownSinceTheLastKeyWait)
{
    struct Case {
        const char* name;
        int baseMs;
        int perCharacterMs;
        const char* page;  // the first page; the second is one character
        int characters;
    } cases[] = {
        {"the usual delays", 1500, 60, "あいう@", 3},
        {"blanks are not counted", 1000, 100, "あ　い う@", 3},
        {"single-byte characters count one each", 200, 50, "abcdefghij@", 10},
        {"no time a character", 700, 0, "あいう@", 3},
    };
    for (const Case& c : cases) {
        test::StageHarness stage(test::Items({test::MakeItem("a", kItemEnd, {c.page, "次@", "おわり@"})}));
        stage.Settings().AutoAdvanceBaseMs = c.baseMs;
        stage.Settings().AutoAdvancePerCharMs = c.perCharacterMs;
        stage.StartReading();
        TickToKeyWait(stage);
        Press(stage, Key::A);
        for (const int characters : {c.characters, 1}) {
            const int delay = c.baseMs + c.perCharacterMs * characters;
            const int waited = WaitedMs(stage, delay + 1000);
            // The page goes on at the first tick of the timer past the delay.
            EXPECT_GE(waited, delay) << c.name;
            EXPECT_LT(waited, delay + 30) << c.name;
            TickToKeyWait(stage);
        }
    }
}

TEST(AutoAdvance, TurnsTwoPagesByItselfAndAClickEndsIt)
{
    test::TempDir dir;
    test::StageHarness stage(Pages(), {}, {}, dir.File("transcript.txt"));
    stage.StartReading();
    TickToKeyWait(stage);
    // 1.68 s for the first page and 1.62 s for the second turn them; the click at 4 s
    // turns the third, and the fourth then waits.
    stage.Replay("0 key A\n4000 click 300 300\n9000 move 5 5\n");
    stage.Form().Run();
    const std::vector<std::string> events = test::TranscriptEvents(dir.File("transcript.txt"));
    const auto on = std::find(events.begin(), events.end(), "auto-advance on");
    const auto off = std::find(on, events.end(), "auto-advance off");
    EXPECT_EQ(std::count(on, off, "keywait"), 2);
    EXPECT_EQ(std::count(off, events.end(), "keywait"), 1);
    EXPECT_EQ(stage.State().Mode, PlayerMode::KeyWait);
    EXPECT_EQ(stage.State().Position.Line, 3);
}

TEST(AutoAdvance, AnyKeyOrClickButItsOwnSwitchesItOff)
{
    struct Case {
        const char* input;
        int line;  // where reading waits afterwards
    } cases[] = {
        {"key Down", 0}, {"key A", 0}, {"key Space", 1}, {"click 300 300", 1}, {"click 300 300 right", 0},
    };
    for (const Case& c : cases) {
        test::StageHarness stage(Pages());
        stage.StartReading();
        TickToKeyWait(stage);
        stage.Replay(std::string("0 key A\n100 ") + c.input + "\n5000 move 5 5\n");
        stage.Form().Run();
        EXPECT_FALSE(stage.Form().AutoAdvancing().On()) << c.input;
        EXPECT_EQ(stage.State().Mode, PlayerMode::KeyWait) << c.input;
        EXPECT_EQ(stage.State().Position.Line, c.line) << c.input;
    }
}

TEST(AutoAdvance, StandsStillWhileADialogIsUpAndNeverActsOverTheChoices)
{
    test::StageHarness stage(Pages());
    stage.StartReading();
    TickToKeyWait(stage);
    Press(stage, Key::A);
    DialogWindow dialog(100, 50);
    stage.Form().Windows().Show(dialog);
    Press(stage, Key::A);  // over a dialog the key switches nothing
    EXPECT_TRUE(stage.Form().AutoAdvancing().On());
    EXPECT_GT(WaitedMs(stage, 5000), 5000);
    stage.Form().Windows().Hide(dialog);
    EXPECT_LT(WaitedMs(stage, 5000), 5000);

    CNovelItem menu = test::MakeItem("m", kItemMenuLink, {"どっち？"});
    menu.Links[0] = {true, "こっち", "z", false, "", 0};
    test::StageHarness choices(test::Items({menu, test::MakeItem("z", kItemEnd, {"Z"})}));
    choices.StartReading();
    for (int n = 0; n < 100 && choices.State().Mode != PlayerMode::Link; ++n) choices.Tick();
    Press(choices, Key::A);
    for (int n = 0; n < 300; ++n) choices.Tick();
    EXPECT_EQ(choices.State().Mode, PlayerMode::Link);
    EXPECT_EQ(choices.State().CurrentItem, 0);
    EXPECT_TRUE(choices.Form().AutoAdvancing().On());
}

TEST(AutoAdvance, ItsSignIsDrawnOverTheShownStageAndNeverIntoIt)
{
    test::StageHarness stage(Pages());
    stage.StartReading();
    TickToKeyWait(stage);
    // A pixel of the sign's gold triangle.
    const int x = AutoAdvance::kSignArea.Left + 11;
    const int y = AutoAdvance::kSignArea.Top + 10;
    auto shown = [&stage, x, y] {
        const uint8_t* bgr = &stage.Window().Screen()[(static_cast<size_t>(y) * kStageWidth + x) * 3];
        return MakeColor(bgr[2], bgr[1], bgr[0]);
    };
    const TColor gold = MakeColor(255, 208, 64);
    // The stage's own loop, run until `ms` after the start; an event queued later keeps
    // the replay from running out.
    const int64_t start = stage.Clock().NowMs();
    auto runTo = [&stage, start](int64_t ms) {
        stage.Form().Loop().RunUntil([&stage, start, ms] { return stage.Clock().NowMs() >= start + ms; });
    };
    stage.Replay("0 key A\n200 move 5 5\n");
    runTo(100);
    EXPECT_EQ(shown(), gold);
    EXPECT_NE(stage.Screen().Pixel(x, y), gold);
    stage.Replay("200 click 300 300\n400 move 5 5\n");
    runTo(450);
    EXPECT_FALSE(stage.Form().AutoAdvancing().On());
    EXPECT_EQ(shown(), stage.Screen().Pixel(x, y));
}

}  // namespace
}  // namespace kelva
