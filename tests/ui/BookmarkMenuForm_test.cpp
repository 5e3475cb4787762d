#include <gtest/gtest.h>

#include "support/InputEvents.h"
#include "support/StageHarness.h"
#include "ui/BookmarkMenuForm.h"
#include "ui/WindowLayer.h"

namespace kelva {
namespace {

using test::Event;

// A press and release at client pixel (x, y) of the menu; its result afterwards.
int ClickAt(WindowLayer& layer, TBookmarkMenuForm& menu, int x, int y)
{
    menu.ModalResult = 0;
    const int stageX = menu.Position.X + x;
    const int stageY = menu.Position.Y + y;
    for (auto type : {InputEvent::Type::MouseMove, InputEvent::Type::MouseDown, InputEvent::Type::MouseUp}) {
        layer.HandleInput(Event(type, stageX, stageY));
    }
    return menu.ModalResult;
}

TEST(BookmarkMenuForm, EachFormAnswersWithItsButtonsAndTheSlotAboveInsertOpens)
{
    struct Case {
        bool recording;
        TPoint click;
        int result;
    };
    const Case cases[] = {
        {true, {60, 40}, TBookmarkMenuForm::kInsert},
        {false, {60, 40}, TBookmarkMenuForm::kOpen},
        {true, {60, 68}, TBookmarkMenuForm::kRemove},
        {false, {60, 68}, TBookmarkMenuForm::kRemove},
        {true, {80, 100}, TBookmarkMenuForm::kCancel},
        {false, {80, 100}, TBookmarkMenuForm::kCancel},
        {true, {60, 10}, 0},
        {false, {4, 84}, 0},  // caption line, gap
    };
    test::BlockRasteriser fonts;
    WindowLayer layer([] {});
    TBookmarkMenuForm menu(fonts);
    layer.Show(menu);
    for (const Case& test : cases) {
        test.recording ? menu.PrepareRecording() : menu.PrepareOpening();
        menu.Place({200, 150}, " しおり 3");
        EXPECT_EQ(menu.OffersInsert(), test.recording);
        EXPECT_EQ(menu.OffersOpen(), !test.recording);
        EXPECT_EQ(ClickAt(layer, menu, test.click.X, test.click.Y), test.result)
            << (test.recording ? "recording " : "opening ") << test.click.X << "," << test.click.Y;
    }
}

TEST(BookmarkMenuForm, StaysWhollyOnTheStageNearTheEdges)
{
    struct Case {
        TPoint pointer;
        TPoint placed;
    };
    const Case cases[] = {
        {{100, 100}, {100, 100}}, {{497, 352}, {497, 352}},  // the last corner that still fits
        {{498, 100}, {498, 100}}, {{499, 100}, {498, 100}},  // touching the right edge moves it
        {{630, 470}, {498, 353}}, {{100, 353}, {100, 353}}, {{100, 400}, {100, 353}},
    };
    test::BlockRasteriser fonts;
    TBookmarkMenuForm menu(fonts);
    for (const Case& test : cases) {
        menu.Place(test.pointer, " しおり 1");
        EXPECT_EQ(menu.Position, test.placed) << test.pointer.X << "," << test.pointer.Y;
    }
}

TEST(BookmarkMenuForm, EscapeCancelsAndTheFocusComesBackUntilAnswered)
{
    test::BlockRasteriser fonts;
    WindowLayer layer([] {});
    TBookmarkMenuForm menu(fonts);
    menu.Place({200, 150}, " しおり 1");
    layer.Show(menu);
    layer.HandleInput(Event(InputEvent::Type::MouseDown, 10, 10));  // beside the menu
    EXPECT_TRUE(menu.Active());
    InputEvent escape = Event(InputEvent::Type::KeyDown);
    escape.key = Key::Escape;
    EXPECT_TRUE(layer.HandleInput(escape));
    EXPECT_EQ(menu.ModalResult, TBookmarkMenuForm::kCancel);
}

}  // namespace
}  // namespace kelva
