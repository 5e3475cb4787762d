// The backlog window's rows and how the keys, the wheel and clicks move or close it.
#include "ui/BacklogForm.h"

#include <gtest/gtest.h>

#include "support/InputEvents.h"
#include "support/StageHarness.h"
#include "ui/WindowLayer.h"

namespace kelva {
namespace {

TEST(RowScroll, StaysBetweenTheStartAndTheLastFullView)
{
    struct Case {
        const char* name;
        int total, visible;
        std::vector<int> moves;
        int top;
        bool atEnd;
    } cases[] = {
        {"opens at the end", 25, 10, {}, 15, true},
        {"up a row", 25, 10, {-1}, 14, false},
        {"no further than the start", 25, 10, {-9, -9, -9}, 0, false},
        {"no further than the end", 25, 10, {-3, 100}, 15, true},
        {"rows that all fit never move", 3, 10, {-1, 1}, 0, true},
        {"no rows", 0, 10, {-1}, 0, true},
        {"a view shows a row at least", 5, 0, {}, 4, true},
    };
    for (const Case& c : cases) {
        RowScroll scroll;
        scroll.Reset(c.total, c.visible);
        for (int rows : c.moves) scroll.ScrollBy(rows);
        EXPECT_EQ(scroll.Top(), c.top) << c.name;
        EXPECT_EQ(scroll.AtEnd(), c.atEnd) << c.name;
    }
}

// Rows 42 apart in a 434-pixel area: ten in sight. Each character is 28 wide, so the
// 564-pixel area holds 21 a row, the last hanging past its edge as punctuation may.
struct BacklogWindow {
    explicit BacklogWindow(int lines)
    {
        std::vector<BacklogLine> text;
        for (int i = 0; i < lines; ++i) text.push_back({"あ", false, true});
        Prepare(text);
    }
    void Prepare(const std::vector<BacklogLine>& lines)
    {
        form.Prepare(TNkDIB(kStageWidth, kStageHeight, 24), lines, TRect{26, 26, 590, 460}, 42);
        layer.Show(form);
    }
    test::BlockRasteriser fonts;
    TBacklogForm form{fonts};
    WindowLayer layer{[] {}};
};

TEST(BacklogForm, KeysAndTheWheelScrollAndCloseIt)
{
    using K = Key;
    // A key, or the wheel turned (`wheel` steps, the key unused), or a click.
    struct Input {
        K key = K::Unknown;
        int wheel = 0;
        bool click = false;
    };
    struct Case {
        const char* name;
        std::vector<Input> inputs;
        int top;  // 25 rows: the view opens at 15
        bool closed;
    } cases[] = {
        {"Up a row", {{K::Up}}, 14, false},
        {"Down at the end stays", {{K::Down}}, 15, false},
        {"PageUp keeps a row in sight", {{K::PageUp}}, 6, false},
        {"PageUp stops at the start", {{K::PageUp}, {K::PageUp}}, 0, false},
        {"PageDown back", {{K::Home}, {K::PageDown}}, 9, false},
        {"Home and End", {{K::Home}, {K::End}}, 15, false},
        {"the wheel up", {{.wheel = 3}}, 12, false},
        {"the wheel down to the end only scrolls", {{.wheel = 2}, {.wheel = -5}}, 15, false},
        {"the wheel down at the end closes", {{.wheel = 1}, {.wheel = -1}, {.wheel = -1}}, 15, true},
        {"Escape", {{K::Escape}}, 15, true},
        {"Space, as a click", {{K::Space}}, 15, true},
        {"a click", {{.click = true}}, 15, true},
        {"another key does nothing", {{K::A}}, 15, false},
    };
    for (const Case& c : cases) {
        BacklogWindow window(25);
        for (const Input& input : c.inputs) {
            InputEvent event = test::Event(InputEvent::Type::KeyDown, 300, 200);
            if (input.wheel) {
                event.type = InputEvent::Type::MouseWheel;
                event.wheel = input.wheel;
            } else if (input.click) {
                event.type = InputEvent::Type::MouseDown;
                event.button = MouseButton::Right;
            }
            event.key = input.key;
            window.layer.HandleInput(event);
        }
        EXPECT_EQ(window.form.Scroll().Top(), c.top) << c.name;
        EXPECT_EQ(window.form.ModalResult == TStageCover::kClosed, c.closed) << c.name;
    }
}

TEST(BacklogForm, LongLinesWrapAndAChoiceIsMarked)
{
    BacklogWindow window(0);
    std::string line;
    for (int i = 0; i < 21; ++i) line += "あ";
    // 21 characters fit a row; a choice's mark takes two more.
    window.Prepare({{line, false, true}, {line, true, false}, {line + "い", false, true}});
    EXPECT_EQ(window.form.Scroll().Total(), 5);
    EXPECT_EQ(window.form.Scroll().Top(), 0);
}

}  // namespace
}  // namespace kelva
