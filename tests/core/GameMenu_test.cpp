#include "core/GameMenu.h"

#include <gtest/gtest.h>

#include "graphics/StageTestImages.h"
#include "support/StageHarness.h"

namespace kelva {
namespace {

class FixedLocalTime final : public LocalTime {
public:
    TLocalDateTime Now() override { return {2026, 3, 7, 9, 5, 4}; }
};

// The default header's menu in a window at (436, 32): display mode, fast-forward, close
// and cancel rows, each 32 high below an 8-pixel strip. Stage pixels of their middles.
constexpr int kRowX = 540;
constexpr int kDisplayRowY = 32 + 8 + 16;
constexpr int kSkipRowY = kDisplayRowY + 32;
constexpr int kCloseRowY = kSkipRowY + 32;
constexpr TPoint kQuestionOk{230, 265};
constexpr TPoint kQuestionCancel{330, 265};

// Item "a" waits twice and links on by itself to "b", whose choice leads back to "a".
CNovelItems TwoItems()
{
    CNovelItem a = test::MakeItem("a", kItemAutoLink, {"一二三@", "四五六@", "七八九"});
    a.Links[0] = {true, "", "b", false, "", 0};
    CNovelItem b = test::MakeItem("b", kItemMenuLink, {"十@", "おわり"});
    b.Links[0] = {true, "もどる", "a", false, "", 0};
    return test::Items({a, b});
}

CNovelFileHeader WithSkipMode(int skipMode)
{
    CNovelFileHeader header;
    header.SkipMode = static_cast<uint8_t>(skipMode);
    return header;
}

// The stage with its bookmark book and game menu, as the player puts them together.
struct MenuStage {
    explicit MenuStage(CNovelFileHeader header) : stage(TwoItems(), {}, header) {}

    // A press and release at stage pixel (x, y), handed to the dialog windows first and
    // to the stage when they leave it, as the stage's loop does.
    void Press(int x, int y, MouseButton button = MouseButton::Left)
    {
        for (auto type :
             {InputEvent::Type::MouseMove, InputEvent::Type::MouseDown, InputEvent::Type::MouseUp}) {
            InputEvent event;
            event.type = type;
            event.x = x;
            event.y = y;
            event.button = button;
            if (stage.Form().Windows().HandleInput(event)) continue;
            if (type == InputEvent::Type::MouseMove) stage.Form().FormMouseMove(x, y);
            if (type == InputEvent::Type::MouseDown) stage.Form().FormMouseDown(button, x, y);
        }
    }
    // A right click on the stage and the tick that takes it.
    void RightClick()
    {
        Press(300, 300, MouseButton::Right);
        stage.Tick();
    }
    // Ticks until the story is in `mode` at `item`; with `clickThrough` key waits are clicked on.
    void TickUntil(PlayerMode mode, int item, bool clickThrough = false)
    {
        for (int i = 0; i < 500 && !(State().Mode == mode && State().CurrentItem == item); ++i) {
            if (clickThrough && State().Mode == PlayerMode::KeyWait) Press(300, 300);
            stage.Tick();
        }
        ASSERT_EQ(State().Mode, mode);
        ASSERT_EQ(State().CurrentItem, item);
    }
    PlayerState& State() { return stage.State(); }

    test::MediaDirectory media;
    test::StageHarness stage;
    test::BlockRasteriser fonts;
    RecordingMessageBox messages{false};
    BookmarkStore store{{"story.knb", "story.knb"}, messages};
    FixedLocalTime time;
    StoryBookmarks bookmarks{stage.Form(), *stage.Game().Story, store, time, stage.Log()};
    BookmarkBook book{stage.Form(), *stage.Game().Story, bookmarks, fonts, stage.Clock(), stage.Log()};
    GameMenu menu{stage.Form(), stage.Game().Story->Header, book, fonts, stage.Window()};
};

TEST(GameMenu, FastForwardRunsThroughKeyWaitsUntilAClickOrTheLinkTheHeaderNames)
{
    struct Case {
        int skipMode;
        bool atChoices;  // the menu opened over the choices: 早送り only closes it
        bool clickWhileSkipping;
        PlayerMode stopMode;  // where skipping has ended
        int stopItem;
    };
    const Case cases[] = {
        {1, false, false, PlayerMode::Link, 0},    // the end of the item's text
        {2, false, false, PlayerMode::Link, 1},    // on through the automatic link to the choices
        {2, false, true, PlayerMode::KeyWait, 0},  // a click: the next key wait waits again
        {2, true, false, PlayerMode::Link, 1},
    };
    for (const Case& test : cases) {
        MenuStage menu(WithSkipMode(test.skipMode));
        menu.stage.StartReading();
        menu.TickUntil(test.atChoices ? PlayerMode::Link : PlayerMode::KeyWait, test.atChoices ? 1 : 0, true);
        menu.RightClick();
        ASSERT_TRUE(menu.menu.Form().Visible());
        menu.Press(kRowX, kSkipRowY);
        EXPECT_FALSE(menu.menu.Form().Visible());
        EXPECT_EQ(menu.State().SkipMode, !test.atChoices);
        EXPECT_EQ(menu.stage.Form().Timer().Interval(), test.atChoices ? 30 : 1);
        if (test.clickWhileSkipping) {
            menu.stage.Tick();
            menu.Press(300, 300);
            EXPECT_FALSE(menu.State().SkipMode);
            menu.TickUntil(PlayerMode::KeyWait, 0);
        }
        for (int i = 0; i < 500 && menu.State().SkipMode; ++i) menu.stage.Tick();
        EXPECT_EQ(menu.State().Mode, test.stopMode) << test.skipMode;
        EXPECT_EQ(menu.State().CurrentItem, test.stopItem) << test.skipMode;
    }
}

TEST(GameMenu, TheCloseQuestionEndsTheStoryOnlyOnOkAndTheMenuOpensAgain)
{
    for (const bool ok : {false, true}) {
        MenuStage menu(WithSkipMode(2));
        menu.stage.StartReading();
        menu.TickUntil(PlayerMode::KeyWait, 0);
        const ReadingPosition where = menu.State().Position;
        menu.RightClick();
        const TPoint answer = ok ? kQuestionOk : kQuestionCancel;
        menu.stage.Replay("0 click " + std::to_string(answer.X) + " " + std::to_string(answer.Y) + "\n");
        menu.Press(kRowX, kCloseRowY);
        EXPECT_EQ(menu.stage.Form().Closed(), ok);
        EXPECT_FALSE(menu.menu.Form().Visible());
        EXPECT_EQ(menu.menu.Form().Width, TMenuForm::kWidth);
        if (ok) continue;
        menu.stage.Tick();
        EXPECT_EQ(menu.State().Mode, PlayerMode::KeyWait);
        EXPECT_EQ(menu.State().Position, where);
        menu.RightClick();
        EXPECT_TRUE(menu.menu.Form().Visible());
    }
}

TEST(GameMenu, SwitchesBetweenWindowAndFullScreenWithThePointerAsReadingWantsIt)
{
    MenuStage menu(WithSkipMode(2));
    menu.stage.StartReading();
    menu.TickUntil(PlayerMode::KeyWait, 0);
    ReplayStageWindow& window = menu.stage.Window();
    ASSERT_FALSE(window.IsFullScreen());
    for (const bool fullScreen : {true, false, true}) {
        menu.RightClick();
        EXPECT_EQ(window.CurrentPointer(), Pointer::Arrow);
        menu.Press(kRowX, kDisplayRowY);
        EXPECT_EQ(window.IsFullScreen(), fullScreen);
        EXPECT_EQ(menu.stage.Form().FullScreen(), fullScreen);
        EXPECT_EQ(window.CurrentPointer(), fullScreen ? Pointer::Hidden : Pointer::Arrow);
        EXPECT_FALSE(menu.menu.Form().Visible());
    }
}

}  // namespace
}  // namespace kelva
