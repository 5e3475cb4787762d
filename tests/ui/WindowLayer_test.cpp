#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/InputEvents.h"
#include "support/StageHarness.h"
#include "ui/WindowLayer.h"
#include "ui/YesNoForm.h"

namespace kelva {
namespace {

using test::Event;

constexpr auto kMove = InputEvent::Type::MouseMove;
constexpr auto kDown = InputEvent::Type::MouseDown;
constexpr auto kUp = InputEvent::Type::MouseUp;

TNkDIB Solid(TColor colour)
{
    TNkDIB picture(10, 10, 24);
    picture.FillRect(picture.BoundsRect(), colour);
    return picture;
}

// A 100 x 60 window at (100, 100) with a 10 x 10 hot picture at (20, 20) and a title bar
// along its top 16 rows; it writes what happens to it into `log`.
struct TestWindow final : DialogWindow {
    std::vector<std::string>& log;
    THotImage hot;
    TImage titleBar;

    explicit TestWindow(std::vector<std::string>& events) : DialogWindow(100, 60), log(events)
    {
        Position = {100, 100};
        titleBar.Bounds = TRect::Bounds(0, 0, 100, 16);
        DragHandle = &titleBar;
        hot.Bounds = TRect::Bounds(20, 20, 10, 10);
        hot.PictureOnEnter = Solid(MakeColor(255, 0, 0));
        hot.PictureOnLeave = Solid(MakeColor(0, 0, 255));
        hot.Picture = hot.PictureOnLeave;
        // The handlers see the picture already switched.
        hot.OnMouseEnter = [this](TControl&) {
            log.push_back("enter " + std::to_string(hot.Picture.Pixel(0, 0)));
        };
        hot.OnMouseLeave = [this](TControl&) {
            log.push_back("leave " + std::to_string(hot.Picture.Pixel(0, 0)));
        };
        Add(titleBar);
        Add(hot);
    }
    void Activated() override { log.push_back("activated"); }
    void Deactivated() override { log.push_back("deactivated"); }
};

TEST(WindowLayer, HotPictureSwitchesBeforeItsHandlerOncePerCrossing)
{
    std::vector<std::string> log;
    WindowLayer layer([] {});
    TestWindow window(log);
    layer.Show(window);
    log.clear();
    for (const auto& [x, y] : {std::pair{110, 110}, {125, 125}, {126, 126}, {140, 140}, {141, 141}}) {
        layer.HandleInput(Event(kMove, x, y));
    }
    EXPECT_EQ(log, (std::vector<std::string>{"enter " + std::to_string(MakeColor(255, 0, 0)),
                                             "leave " + std::to_string(MakeColor(0, 0, 255))}));
    EXPECT_EQ(window.hot.Picture.Pixel(0, 0), MakeColor(0, 0, 255));
}

TEST(FormRgn, RoundedCornersAndEllipsesCutExactlyAndEnableSwitchesAtOnce)
{
    TFormRgn shape;
    shape.SetRgnRight(282);
    shape.SetRgnBottom(109);
    shape.SetRgnWidth(32);
    shape.SetRgnHeight(32);
    struct Case {
        int x, y;
        bool inside;
    };
    // Corner ellipses of radius 16 centred 16 in: (4, 4)'s centre lies 11.5 from both
    // axes, just outside; (5, 5)'s 10.5, inside. The other corners mirror it.
    for (const Case& c : {Case{0, 0, false},
                          {4, 4, false},
                          {5, 5, true},
                          {0, 16, true},
                          {0, 9, false},
                          {277, 104, false},
                          {276, 103, true},
                          {141, 0, true},
                          {281, 54, true},
                          {282, 54, false}}) {
        EXPECT_EQ(shape.Contains(c.x, c.y, 282, 109), c.inside) << c.x << "," << c.y;
    }
    shape.SetEnable(false);
    EXPECT_TRUE(shape.Contains(0, 0, 282, 109));
    shape.SetEnable(true);
    EXPECT_FALSE(shape.Contains(0, 0, 282, 109));
    shape.SetStyle(TRgnStyle::rsEllipse);
    EXPECT_TRUE(shape.Contains(141, 54, 282, 109));
    EXPECT_FALSE(shape.Contains(20, 10, 282, 109));
    EXPECT_TRUE(shape.Contains(0, 54, 282, 109));
}

TEST(WindowLayer, ClicksLandInsideTheShapeOnlyAndADialogTakesTheFocusBack)
{
    std::vector<std::string> log;
    WindowLayer layer([] {});
    TestWindow window(log);
    window.Shape.SetRgnRight(100);
    window.Shape.SetRgnBottom(60);
    window.Shape.SetRgnWidth(32);
    window.Shape.SetRgnHeight(32);
    window.Shape.SetEnable(true);
    layer.Show(window);
    EXPECT_FALSE(layer.HandleInput(Event(kDown, 104, 104)));  // a pixel outside the corner: the stage's
    EXPECT_TRUE(layer.HandleInput(Event(kDown, 105, 105)));
    window.TakesFocusBack = true;
    log.clear();
    layer.HandleInput(Event(kDown, 400, 400));
    EXPECT_EQ(log, (std::vector<std::string>{"deactivated", "activated"}));
    EXPECT_TRUE(window.Active());
}

TEST(WindowLayer, DraggingTheTitleBarMovesTheWindowAndKeepsItOnTheStage)
{
    std::vector<std::string> log;
    WindowLayer layer([] {});
    TestWindow window(log);
    layer.Show(window);
    layer.HandleInput(Event(kDown, 150, 105));
    layer.HandleInput(Event(kMove, 180, 125));
    layer.HandleInput(Event(kUp, 180, 125));
    EXPECT_EQ(window.Position, (TPoint{130, 120}));
    layer.HandleInput(Event(kMove, 900, 900));  // released: no more dragging
    EXPECT_EQ(window.Position, (TPoint{130, 120}));
    layer.HandleInput(Event(kDown, 140, 125));
    layer.HandleInput(Event(kMove, 2000, -500));
    EXPECT_EQ(window.Position, (TPoint{640 - 32, 0}));
}

TEST(YesNoForm, IsCentredWithTheActiveTitleBarAndShapedCorners)
{
    test::BlockRasteriser fonts;
    WindowLayer layer([] {});
    TYesNoForm dialog(fonts);
    dialog.Prepare("本を閉じる", "終了してよろしいですか？");
    layer.Show(dialog);
    TNkDIB frame(640, 480, 24);
    layer.DrawOver(frame);
    EXPECT_EQ(dialog.Position, (TPoint{179, 186}));
    EXPECT_EQ(frame.Pixel(179 + 270, 186 + 10), MakeColor(160, 160, 255));  // the active title bar
    EXPECT_EQ(frame.Pixel(179, 186), MakeColor(0, 0, 0));                   // outside the rounded corner
    EXPECT_EQ(frame.Pixel(179 + 2, 186 + 60), MakeColor(255, 255, 255));    // the white window
    layer.HandleInput(Event(kDown, 10, 10));  // beside it: it takes the focus back
    frame.FillRect(frame.BoundsRect(), 0);
    layer.DrawOver(frame);
    EXPECT_EQ(frame.Pixel(179 + 270, 186 + 10), MakeColor(160, 160, 255));
}

TEST(YesNoForm, ModalDialogKeepsTheStoryTicking)
{
    test::StageHarness stage(test::Items({test::MakeItem("start", kItemEnd, {".WAIT 300", "あ"})}));
    stage.StartReading();
    stage.Tick();  // the wait begins
    ASSERT_TRUE(stage.State().WaitActive);
    // ＯＫ pressed 400 ms later; the wait has ended under the dialog by then.
    stage.Replay("400 click 230 265\n");
    EXPECT_TRUE(stage.Form().Confirm("しおり", "よろしいですか？"));
    EXPECT_FALSE(stage.State().WaitActive);
    EXPECT_FALSE(stage.Form().Windows().ModalShowing());
}

}  // namespace
}  // namespace kelva
