#include <gtest/gtest.h>

#include "support/StageHarness.h"

namespace kelva {
namespace {

using test::Counters;
using test::Items;
using test::MakeItem;
using test::StageHarness;

// The jump window is centred: its list's lines start at stage row 128, 12 rows each.
constexpr int kJumpLineX = 250;
int JumpLineY(int line)
{
    return 128 + 12 * line + 6;
}

InputEvent KeyEvent(Key key)
{
    InputEvent event;
    event.type = InputEvent::Type::KeyDown;
    event.key = key;
    return event;
}

// A debug-mode story of three items, read until a few characters of "second" are out.
struct DebugStory {
    StageHarness stage{
        Items({MakeItem("first", kItemEnd, {"あ"}), MakeItem("second", kItemEnd, {"かきくけこ"}),
               MakeItem("third", kItemEnd, {"さ"})}),
        Counters({{"luck", 4, 0, 10}})};

    DebugStory()
    {
        stage.Game().Values.DebugMode = true;
        stage.Game().Story->Header.StartItem = "second";
        stage.StartReading();
        stage.Tick(3);
    }
};

TEST(DebugJump, EnterAtOnceCancelsAndNothingMovesWhileTheWindowIsOpen)
{
    DebugStory story;
    const PlayerState before = story.stage.State();
    ASSERT_EQ(before.CurrentItem, 1);
    // The window opens on the item being read; Enter presses "キャンセル" half a second later.
    story.stage.Replay("500 key Return\n");
    story.stage.Form().FormKeyDown(KeyEvent(Key::F6));
    const PlayerState& after = story.stage.State();
    EXPECT_EQ(after.CurrentItem, 1);
    EXPECT_EQ(after.Position, before.Position);
    EXPECT_EQ(after.TickTotal, before.TickTotal) << "the frame timer stood still";
    EXPECT_FALSE(after.Click.Pressed) << "the Enter was the window's";
    EXPECT_TRUE(story.stage.Form().Timer().Running());
}

TEST(DebugJump, DoubleClickingTheCurrentItemRestartsItAndAnotherLineJumpsThere)
{
    DebugStory story;
    story.stage.Game().Story->Counters[0].Value = 9;
    story.stage.Replay("10 dblclick " + std::to_string(kJumpLineX) + " " + std::to_string(JumpLineY(1)) +
                       "\n");
    story.stage.Form().FormKeyDown(KeyEvent(Key::F6));
    EXPECT_EQ(story.stage.State().CurrentItem, 1);
    EXPECT_EQ(story.stage.State().Position, (ReadingPosition{1, 0}));
    EXPECT_EQ(story.stage.State().Mode, PlayerMode::Text);
    EXPECT_EQ(story.stage.Game().Story->Counters[0].Value, 9) << "counters are not reset";

    // A click on the last line, then "ジャンプ".
    story.stage.Replay("10 click " + std::to_string(kJumpLineX) + " " + std::to_string(JumpLineY(2)) +
                       "\n20 click 280 380\n");
    story.stage.Form().FormKeyDown(KeyEvent(Key::F6));
    EXPECT_EQ(story.stage.State().CurrentItem, 2);
    EXPECT_EQ(story.stage.State().Position, (ReadingPosition{1, 0}));
}

TEST(DebugCounters, F5OpensOnlyWhenTheStoryHasACounter)
{
    StageHarness none(Items({MakeItem("first", kItemEnd, {"あ"})}));
    none.Game().Values.DebugMode = true;
    none.StartReading();
    // A window opened here would find no events left and the stage would close.
    none.Form().FormKeyDown(KeyEvent(Key::F5));
    EXPECT_FALSE(none.Form().Closed());

    DebugStory story;
    // The counter window: its first line selected; "閉じる" by Enter.
    story.stage.Replay("10 key Up\n20 key Return\n");
    story.stage.Form().FormKeyDown(KeyEvent(Key::F5));
    EXPECT_FALSE(story.stage.Form().Closed());
    EXPECT_FALSE(story.stage.State().Click.Pressed);
}

}  // namespace
}  // namespace kelva
