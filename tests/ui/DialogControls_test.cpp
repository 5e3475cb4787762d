#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/FakeFontRasteriser.h"
#include "support/InputEvents.h"
#include "ui/Button.h"
#include "ui/FramedDialog.h"
#include "ui/HeaderControl.h"
#include "ui/ListBox.h"
#include "ui/WindowLayer.h"

namespace kelva {
namespace {

using test::Event;

// A framed 200 x 200 dialog at (0, 0) (client area from (3, 22)) with a list of 40 lines
// of 10 pixels (18 visible), a header and two buttons, the second the default one.
struct Dialog {
    test::FakeFontRasteriser fonts;
    TFramedDialog window{fonts, 200, 200};
    TListBox list{fonts};
    THeaderControl header{fonts};
    TButton first{fonts};
    TButton second{fonts};
    WindowLayer layer{[] {}};
    std::vector<std::string> log;

    Dialog()
    {
        header.Bounds = TFramedDialog::ClientBounds(0, 0, 200, 16);
        header.Sections = {{"a", 50, 40, false}, {"b", 60, 60, true}};
        header.OnSectionClick = [this](int i) { log.push_back("section " + std::to_string(i)); };
        list.Bounds = TFramedDialog::ClientBounds(0, 20, 120, 184);  // 180 inside the edge
        list.ItemHeight = 10;
        for (int i = 0; i < 40; ++i) list.AddItem("line");
        list.OnSelect = [this](TControl&) { log.push_back("select " + std::to_string(list.ItemIndex())); };
        list.OnDblClick = [this](TControl&) { log.push_back("double " + std::to_string(list.ItemIndex())); };
        first.Bounds = TFramedDialog::ClientBounds(130, 20, 60, 20);
        second.Bounds = TFramedDialog::ClientBounds(130, 50, 60, 20);
        second.Default = true;
        first.OnClick = [this](TControl&) { log.push_back("first"); };
        second.OnClick = [this](TControl&) { log.push_back("second"); };
        for (TControl* control : std::initializer_list<TControl*>{&header, &list, &first, &second}) {
            window.Add(*control);
        }
        layer.Show(window);
        window.SetActiveControl(&list);
    }
    void Press(int x, int y, int clicks = 1)
    {
        InputEvent down = Event(InputEvent::Type::MouseDown, x, y);
        down.clicks = clicks;
        layer.HandleInput(down);
        layer.HandleInput(Event(InputEvent::Type::MouseUp, x, y));
    }
    void Key(kelva::Key key)
    {
        InputEvent event = Event(InputEvent::Type::KeyDown);
        event.key = key;
        layer.HandleInput(event);
    }
};

TEST(ListBox, KeysMoveTheSelectionAndKeepItInView)
{
    struct Case {
        int from;
        Key key;
        int to;
        int top;
    };
    // 18 lines fit; a page moves by 17.
    for (const Case& c :
         {Case{-1, Key::Down, 0, 0}, Case{5, Key::Up, 4, 0}, Case{0, Key::Up, 0, 0},
          Case{3, Key::End, 39, 22}, Case{39, Key::Home, 0, 0}, Case{0, Key::PageDown, 17, 0},
          Case{17, Key::PageDown, 34, 17}, Case{34, Key::PageUp, 17, 17}, Case{39, Key::Down, 39, 22}}) {
        Dialog d;
        d.list.SetItemIndex(c.from);
        d.Key(c.key);
        EXPECT_EQ(d.list.ItemIndex(), c.to) << c.from << " " << KeyName(c.key);
        EXPECT_EQ(d.list.TopIndex(), c.top) << c.from << " " << KeyName(c.key);
    }
}

TEST(ListBox, ClicksSelectDoubleClicksReportAndTheWheelAndScrollBarScroll)
{
    Dialog d;
    const int lineTop = 22 + 20 + 2;  // client top, list top, edge
    d.Press(20, lineTop + 35);
    d.Press(20, lineTop + 35, 2);
    EXPECT_EQ(d.log, (std::vector<std::string>{"select 3", "double 3"}));
    InputEvent wheel = Event(InputEvent::Type::MouseWheel);
    wheel.wheel = -2;
    d.layer.HandleInput(wheel);
    EXPECT_EQ(d.list.TopIndex(), 2 * TListBox::kWheelLines);
    EXPECT_EQ(d.list.ItemIndex(), 3) << "the wheel scrolls without selecting";
    ASSERT_TRUE(d.list.ScrollBarShown());
    const int barX = 3 + 120 - 2 - TListBox::kScrollBarWidth / 2;
    d.Press(barX, lineTop + 3);  // the up arrow
    EXPECT_EQ(d.list.TopIndex(), 5);
    d.Press(barX, lineTop + 180 - 3);  // the down arrow
    d.Press(barX, lineTop + 150);      // the track below the thumb: a page
    EXPECT_EQ(d.list.TopIndex(), 22);
}

TEST(DialogWindow, EnterPressesTheFocusedButtonElseTheDefaultAndFocusFollowsClicks)
{
    Dialog d;
    d.Key(Key::Return);  // the list has the focus
    d.Press(3 + 150, 22 + 30);
    d.Key(Key::Return);  // the first button has it now
    d.Key(Key::Space);
    EXPECT_EQ(d.log, (std::vector<std::string>{"second", "first", "first", "first"}));
    EXPECT_EQ(d.window.ActiveControl(), &d.first);
    d.second.Enabled = false;
    d.window.SetActiveControl(&d.list);
    d.log.clear();
    d.Key(Key::Return);
    d.Press(3 + 150, 22 + 60);
    EXPECT_TRUE(d.log.empty()) << "a disabled button is neither pressed nor clicked";
    EXPECT_EQ(d.window.ActiveControl(), &d.list);
}

TEST(HeaderControl, EdgesResizeNoNarrowerThanTheMinimumAndOnlyClickableSectionsReport)
{
    Dialog d;
    const int y = 22 + 8;
    d.layer.HandleInput(Event(InputEvent::Type::MouseDown, 3 + 50, y));  // the first edge
    d.layer.HandleInput(Event(InputEvent::Type::MouseMove, 3 + 20, y));
    d.layer.HandleInput(Event(InputEvent::Type::MouseUp, 3 + 20, y));
    EXPECT_EQ(d.header.Sections[0].Width, 40);
    d.layer.HandleInput(Event(InputEvent::Type::MouseDown, 3 + 40, y));
    d.layer.HandleInput(Event(InputEvent::Type::MouseMove, 3 + 90, y));
    d.layer.HandleInput(Event(InputEvent::Type::MouseUp, 3 + 90, y));
    EXPECT_EQ(d.header.Sections[0].Width, 90);
    EXPECT_EQ(d.header.SectionLeft(1), 90);
    d.Press(3 + 20, y);
    d.Press(3 + 120, y);
    EXPECT_EQ(d.log, std::vector<std::string>{"section 1"});
}

TEST(FramedDialog, IsCentredAroundItsClientAreaAndItsCloseBoxCancels)
{
    test::FakeFontRasteriser fonts;
    TFramedDialog window(fonts, 222, 295);
    window.CentreOnStage();
    EXPECT_EQ(window.Width, 222 + 6);
    EXPECT_EQ(window.Height, 295 + 6 + 19);
    EXPECT_EQ(window.Position, (TPoint{206, 80}));
    WindowLayer layer([] {});
    layer.Show(window);
    const int closeX = 206 + 228 - 3 - 2 - 8;
    layer.HandleInput(Event(InputEvent::Type::MouseDown, closeX, 80 + 10));
    layer.HandleInput(Event(InputEvent::Type::MouseUp, closeX, 80 + 10));
    EXPECT_EQ(window.ModalResult, TFramedDialog::kCloseResult);
}

}  // namespace
}  // namespace kelva
