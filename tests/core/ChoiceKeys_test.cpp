// Choosing from a choice menu with the keyboard, on the real stage form.
#include <gtest/gtest.h>

#include <cstring>

#include "support/StageHarness.h"

namespace kelva {
namespace {

// Item "m" offers three choices, to the end items "a", "b" and "c" (indexes 1 to 3).
CNovelItems ThreeChoices()
{
    CNovelItem menu = test::MakeItem("m", kItemMenuLink, {"どれ？"});
    const char* targets[] = {"a", "b", "c"};
    for (int i = 0; i < 3; ++i)
        menu.Links[static_cast<size_t>(i)] = {true, targets[i], targets[i], false, "", 0};
    return test::Items({menu, test::MakeItem("a", kItemEnd, {"A"}), test::MakeItem("b", kItemEnd, {"B"}),
                        test::MakeItem("c", kItemEnd, {"C"})});
}

struct MenuStage {
    MenuStage()
    {
        stage.StartReading();
        for (int n = 0; n < 50 && stage.State().Mode != PlayerMode::Link; ++n) stage.Tick();
        stage.Tick();  // the menu is drawn
    }
    void Key(Key key)
    {
        InputEvent event;
        event.type = InputEvent::Type::KeyDown;
        event.key = key;
        stage.Form().FormKeyDown(event);
        stage.Tick();
    }
    test::StageHarness stage{ThreeChoices()};
};

TEST(ChoiceKeys, KeysHighlightAndChooseALine)
{
    using K = kelva::Key;
    struct Case {
        const char* name;
        std::vector<K> keys;
        int item;  // the item read afterwards; 0: still the menu
    } cases[] = {
        {"down lights the first line", {K::Down, K::Return}, 1},
        {"down again the next", {K::Down, K::Down, K::Space}, 2},
        {"down stops at the last line", {K::Down, K::Down, K::Down, K::Down, K::Return}, 3},
        {"up lights the last line", {K::Up, K::Return}, 3},
        {"up stops at the first line", {K::Up, K::Up, K::Up, K::Up, K::Return}, 1},
        {"a number lights its line", {K::Digit2, K::Return}, 2},
        {"a number past the menu lights nothing", {K::Digit9, K::Return}, 0},
        {"Enter alone clicks where the pointer goes, above the menu", {K::Return}, 0},
    };
    for (const Case& c : cases) {
        MenuStage menu;
        for (const K key : c.keys) menu.Key(key);
        EXPECT_EQ(menu.stage.State().CurrentItem, c.item) << c.name;
    }
}

TEST(ChoiceKeys, TheKeyboardBandIsTheMouseBandAndThePointerTakesItBack)
{
    MenuStage byMouse;
    MenuStage byKeys;
    const TNkDIB plain = byKeys.stage.Screen();
    byKeys.Key(Key::Digit3);  // the pointer, at (100, 100), is over the second line
    const int row = byKeys.stage.Form().State().Mouse.Y;  // the pointer stayed where it was
    // Somewhere over the third line the pointer shows the band the keyboard drew.
    const TNkDIB keyed = byKeys.stage.Screen();
    const size_t bytes = static_cast<size_t>(keyed.Stride()) * keyed.Height();
    ASSERT_NE(0, std::memcmp(plain.Bits(), keyed.Bits(), bytes)) << "no band drawn";
    bool same = false;
    for (int y = 0; y < 480 && !same; y += 2) {
        byMouse.stage.Form().FormMouseMove(300, y);
        byMouse.stage.Tick();
        same = std::memcmp(keyed.Bits(), byMouse.stage.Screen().Bits(), bytes) == 0;
    }
    EXPECT_TRUE(same);

    // Moving the pointer hands the highlight back: Enter no longer chooses the line.
    byKeys.stage.Form().FormMouseMove(300, row + 1);
    byKeys.Key(Key::Return);
    EXPECT_EQ(byKeys.stage.State().CurrentItem, 0);
}

}  // namespace
}  // namespace kelva
