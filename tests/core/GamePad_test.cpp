// The gamepad: its buttons as the keys and clicks they stand for, and the stage and its
// dialog windows played with a pad alone through the stage's loop.
#include <gtest/gtest.h>

#include <functional>

#include "core/BookmarkBook.h"
#include "core/GameMenu.h"
#include "core/PadMapping.h"
#include "core/StoryBookmarks.h"
#include "graphics/StageTestImages.h"
#include "support/StageHarness.h"
#include "support/TestFiles.h"

namespace kelva {
namespace {

using Type = InputEvent::Type;

InputEvent Pad(PadButton button, bool down)
{
    InputEvent event;
    event.type = down ? Type::PadDown : Type::PadUp;
    event.pad = button;
    return event;
}

TEST(PadMapping, EachButtonBecomesItsKeyOrClickAndItsReleaseTheRelease)
{
    struct Case {
        PadButton button;
        Type down, up;  // what its press and its release become
        Key key;
        MouseButton mouse;
    };
    const MouseButton left = MouseButton::Left;
    const Case cases[] = {
        {PadButton::A, Type::KeyDown, Type::KeyUp, Key::Return, left},
        {PadButton::B, Type::MouseDown, Type::MouseUp, Key::Unknown, MouseButton::Right},
        {PadButton::Start, Type::MouseDown, Type::MouseUp, Key::Unknown, MouseButton::Right},
        {PadButton::Back, Type::KeyDown, Type::KeyUp, Key::Escape, left},
        {PadButton::DpadUp, Type::KeyDown, Type::KeyUp, Key::Up, left},
        {PadButton::DpadDown, Type::KeyDown, Type::KeyUp, Key::Down, left},
        {PadButton::DpadLeft, Type::KeyDown, Type::KeyUp, Key::Left, left},
        {PadButton::DpadRight, Type::KeyDown, Type::KeyUp, Key::Right, left},
        {PadButton::LeftShoulder, Type::KeyDown, Type::KeyUp, Key::PageUp, left},
        {PadButton::RightShoulder, Type::KeyDown, Type::KeyUp, Key::Ctrl, left},
        // Without a meaning: passed on as they are, and nobody takes them.
        {PadButton::X, Type::PadDown, Type::PadUp, Key::Unknown, left},
        {PadButton::Y, Type::PadDown, Type::PadUp, Key::Unknown, left},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.button));
        PadMapping mapping;
        const InputEvent down = mapping.Translate(Pad(c.button, true));
        const InputEvent up = mapping.Translate(Pad(c.button, false));
        EXPECT_EQ(down.type, c.down);
        EXPECT_EQ(up.type, c.up);
        EXPECT_EQ(down.key, c.key);
        EXPECT_EQ(up.key, c.key);
        EXPECT_EQ(down.button, c.mouse);
        // Only the right shoulder's press is a Ctrl press; nothing else carries modifiers.
        EXPECT_EQ(down.ctrl, c.key == Key::Ctrl);
        EXPECT_FALSE(up.ctrl);
        EXPECT_FALSE(down.alt);
    }
}

TEST(PadMapping, TheRightClickLandsWhereThePointerLastWasAndOtherEventsPassUnchanged)
{
    PadMapping mapping;
    InputEvent move;
    move.type = Type::MouseMove;
    move.x = 500;
    move.y = 60;
    EXPECT_EQ(mapping.Translate(move).x, 500);
    InputEvent click = mapping.Translate(Pad(PadButton::B, true));
    EXPECT_EQ(click.x, 500);
    EXPECT_EQ(click.y, 60);

    InputEvent key;
    key.type = Type::KeyDown;
    key.key = Key::Digit2;
    key.ctrl = true;
    const InputEvent same = mapping.Translate(key);
    EXPECT_EQ(same.type, Type::KeyDown);
    EXPECT_EQ(same.key, Key::Digit2);
    EXPECT_TRUE(same.ctrl);
}

// Item "a" waits for a click and links on to "b", whose three choices lead to the end
// items "c1" to "c3" (indexes 2 to 4).
CNovelItems WaitThenChoices()
{
    CNovelItem a = test::MakeItem("a", kItemAutoLink, {"一二三@", "四五六"});
    a.Links[0] = {true, "", "b", false, "", 0};
    CNovelItem b = test::MakeItem("b", kItemMenuLink, {"どれ？"});
    const char* targets[] = {"c1", "c2", "c3"};
    for (int i = 0; i < 3; ++i)
        b.Links[static_cast<size_t>(i)] = {true, targets[i], targets[i], false, "", 0};
    return test::Items({a, b, test::MakeItem("c1", kItemEnd, {"1"}), test::MakeItem("c2", kItemEnd, {"2"}),
                        test::MakeItem("c3", kItemEnd, {"3"})});
}

class FixedLocalTime final : public LocalTime {
public:
    TLocalDateTime Now() override { return {2026, 3, 7, 9, 5, 4}; }
};

// The stage with its game menu as the player puts them together, its transcript in a file.
struct PadStage {
    PadStage() { stage.StartReading(); }

    // Ticks until the story is at `mode` in `item`.
    void TickUntil(PlayerMode mode, int item)
    {
        for (int i = 0; i < 500 && !(State().Mode == mode && State().CurrentItem == item); ++i) {
            if (State().Mode == PlayerMode::KeyWait) stage.Click();
            stage.Tick();
        }
        ASSERT_EQ(State().Mode, mode);
        ASSERT_EQ(State().CurrentItem, item);
    }
    // Plays `events` (replay lines, times from now) through the stage's loop until `done`
    // holds. A last event far ahead keeps the replay from running out (which closes the stage).
    void Play(const std::string& events, const std::function<bool()>& done)
    {
        stage.Replay(events + "60000 focus in\n");
        stage.Form().Loop().RunUntil(done);
    }
    std::string Transcript() const
    {
        const std::vector<uint8_t> bytes = test::ReadBytes(transcriptPath);
        return {bytes.begin(), bytes.end()};
    }
    PlayerState& State() { return stage.State(); }

    test::TempDir dir;
    std::string transcriptPath = dir.File("transcript.txt");
    test::MediaDirectory media;
    test::StageHarness stage{WaitThenChoices(), {}, {}, transcriptPath};
    test::BlockRasteriser fonts;
    RecordingMessageBox messages{false};
    BookmarkStore store{{"story.knb", "story.knb"}, messages};
    FixedLocalTime time;
    StoryBookmarks bookmarks{stage.Form(), *stage.Game().Story, store, time, stage.Log()};
    BookmarkBook book{stage.Form(), *stage.Game().Story, bookmarks, fonts, stage.Clock(), stage.Log()};
    GameMenu menu{stage.Form(), stage.Game().Story->Header, book, fonts, stage.Window()};
};

TEST(GamePad, TheDpadAndAChooseAChoice)
{
    PadStage pad;
    pad.TickUntil(PlayerMode::Link, 1);
    pad.stage.Tick();  // the menu is drawn; keys before it light nothing
    pad.Play("0 pad DpadDown\n100 pad DpadDown\n200 pad A\n", [&] { return pad.State().CurrentItem != 1; });
    EXPECT_EQ(pad.State().CurrentItem, 3) << "the second choice";
    EXPECT_FALSE(pad.stage.Form().Closed());
}

TEST(GamePad, BAndStartOpenTheGameMenuWhereARightClickDoes)
{
    struct Case {
        const char* button;
        PlayerMode mode;
        int item;
    } cases[] = {
        {"B", PlayerMode::KeyWait, 0},
        {"Start", PlayerMode::KeyWait, 0},
        {"B", PlayerMode::Link, 1},
        {"Start", PlayerMode::Link, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        PadStage pad;
        pad.TickUntil(c.mode, c.item);
        pad.Play(std::string("0 pad ") + c.button + "\n", [&] { return pad.menu.Form().Visible(); });
        EXPECT_TRUE(pad.menu.Form().Visible());
        EXPECT_EQ(pad.State().CurrentItem, c.item) << "nothing was chosen or passed";
    }
}

TEST(GamePad, BackAsksTheCloseQuestionAndBackAgainAnswersIt)
{
    PadStage pad;
    pad.TickUntil(PlayerMode::KeyWait, 0);
    const int64_t start = pad.stage.Clock().NowMs();
    // The second Back reaches the question's dialog as Escape: "キャンセル".
    pad.Play("0 pad Back\n500 pad Back\n", [&] { return pad.stage.Clock().NowMs() >= start + 1000; });
    EXPECT_FALSE(pad.stage.Form().Closed());
    const std::string transcript = pad.Transcript();
    EXPECT_NE(transcript.find(" dialog "), std::string::npos) << transcript;
    EXPECT_NE(transcript.find(" dialog-result 2\n"), std::string::npos) << transcript;
    EXPECT_TRUE(pad.stage.Form().Timer().Running());
}

}  // namespace
}  // namespace kelva
