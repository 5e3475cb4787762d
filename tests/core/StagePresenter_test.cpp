#include <gtest/gtest.h>

#include <cstring>

#include "core/StagePresenter.h"
#include "graphics/RunCommon.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingMessageBox.h"
#include "platform/headless/ReplayStageWindow.h"
#include "support/StageHarness.h"

namespace kelva {
namespace {

// Halves every pixel it is drawn over: drawn twice over the same pixel it would show.
class DimmingOverlay final : public StageOverlay {
public:
    void DrawOver(TNkDIB& frame) override
    {
        for (int y = 0; y < frame.Height(); ++y) {
            uint8_t* row = frame.ScanLine(y);
            for (int i = 0; i < frame.Width() * 3; ++i) row[i] /= 2;
        }
    }
};

// A window that applies each present to its own copy of the stage, as a real one does,
// and a presenter showing `screen` on it.
struct PresenterFixture {
    ManualClock clock;
    RecordingMessageBox messages{false};
    ReplayStageWindow window{clock, messages, {}, ""};
    TNkDIB screen{kStageWidth, kStageHeight, 24};
    StagePresenter presenter{window, clock, screen};
};

bool SameBytes(const std::vector<uint8_t>& shown, const TNkDIB& expected)
{
    for (int y = 0; y < kStageHeight; ++y) {
        if (std::memcmp(shown.data() + static_cast<size_t>(y) * kStageWidth * 3, expected.ScanLine(y),
                        kStageWidth * 3) != 0) {
            return false;
        }
    }
    return true;
}

TEST(StagePresenter, ShowsOnlyTheBoxOfPixelsThatDifferAndNothingForARedrawOfTheSame)
{
    PresenterFixture f;
    f.presenter.Start();
    f.presenter.Flush(true);
    ASSERT_EQ(f.window.Presents(), 1) << "the first present is the whole stage, black as it is";

    const TRect whole{0, 0, kStageWidth, kStageHeight};
    struct Case {
        const char* what;
        TRect drawn;
        TRect marked;
        bool presented;
        StageArea area;
    };
    const Case cases[] = {
        {"a small square, the whole stage marked", {100, 50, 110, 58}, whole, true, {100, 50, 110, 58}},
        {"the same square again", {100, 50, 110, 58}, whole, false, {}},
        {"a pixel inside a marked box",
         {300, 200, 301, 201},
         {290, 190, 320, 220},
         true,
         {300, 200, 301, 201}},
        {"a change outside what was marked waits", {0, 0, 5, 5}, {600, 400, 640, 480}, false, {}},
        {"until its part is marked", {0, 0, 5, 5}, {0, 0, 640, 10}, true, {0, 0, 5, 5}},
        {"a mark past the stage's edge is clipped",
         {630, 470, 640, 480},
         {600, 460, 900, 900},
         true,
         {630, 470, 640, 480}},
    };
    TColor colour = MakeColor(200, 10, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = f.window.Presents();
        f.screen.FillRect(c.drawn, colour);
        f.presenter.MarkChanged(c.marked);
        f.clock.Advance(20);
        f.presenter.Flush(false);
        EXPECT_EQ(f.window.Presents() != before, c.presented);
        if (c.presented) {
            // The window keeps what it was shown: its copy is the screen, pixel for pixel.
            EXPECT_TRUE(SameBytes(f.window.Screen(), f.screen));
        }
        EXPECT_EQ(f.presenter.DueMs(), std::nullopt) << "nothing is left to show";
    }
}

TEST(StagePresenter, OverlaysAreDrawnOnceOverFreshPixelsWhateverPartChanges)
{
    PresenterFixture f;
    DimmingOverlay dim;
    f.presenter.AddOverlay(dim);
    f.screen.FillRect({0, 0, kStageWidth, kStageHeight}, MakeColor(200, 200, 200));
    f.presenter.Start();
    f.presenter.Flush(true);
    for (int i = 0; i < 4; ++i) {
        f.screen.FillRect(TRect::Bounds(i * 100, 100, 50, 50), MakeColor(100, 40, 240));
        f.presenter.MarkChanged(TRect::Bounds(i * 100, 100, 50, 50));
        f.clock.Advance(20);
        f.presenter.Flush(false);
    }
    f.presenter.MarkChanged();
    f.clock.Advance(20);
    f.presenter.Flush(false);
    TNkDIB expected = f.screen;
    dim.DrawOver(expected);
    EXPECT_TRUE(SameBytes(f.window.Screen(), expected));
}

TEST(StagePresenter, TheWindowKeepsTheRightPictureThroughWholeAndPartialChanges)
{
    // A whole-stage change is handed over by swapping frames; the partial changes after it
    // must still be composed over the right pixels, with and without an overlay.
    PresenterFixture f;
    DimmingOverlay dim;
    f.presenter.AddOverlay(dim);
    f.presenter.Start();
    const TRect whole{0, 0, kStageWidth, kStageHeight};
    struct Step {
        TRect drawn;
        TColor colour;
        TRect marked;
    };
    const Step steps[] = {
        {whole, MakeColor(200, 100, 50), whole},
        {{10, 10, 60, 60}, MakeColor(10, 250, 10), {10, 10, 60, 60}},
        {whole, MakeColor(30, 30, 230), whole},
        {{600, 400, 640, 480}, MakeColor(250, 250, 0), {590, 390, 640, 480}},
        {{0, 200, 640, 260}, MakeColor(0, 0, 0), whole},
        {{300, 0, 301, 480}, MakeColor(255, 255, 255), {300, 0, 301, 480}},
    };
    int n = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "step " << n++);
        f.screen.FillRect(step.drawn, step.colour);
        f.presenter.MarkChanged(step.marked);
        f.clock.Advance(20);
        f.presenter.Flush(false);
        TNkDIB expected = f.screen;
        dim.DrawOver(expected);
        EXPECT_TRUE(SameBytes(f.window.Screen(), expected));
    }
}

TEST(StagePresenter, ABlinkingKeyWaitIconPresentsFourTimesASecond)
{
    test::StageHarness stage(test::Items({test::MakeItem("start", kItemEnd, {"あ@い"})}));
    stage.StartReading();
    stage.Tick();
    stage.Tick();
    ASSERT_EQ(stage.State().Mode, PlayerMode::KeyWait);
    stage.Replay("2100 move 1 1");  // the loop runs until the replay's events are done
    const int64_t start = stage.Clock().NowMs();
    const int before = stage.Window().Presents();
    stage.Form().Loop().RunUntil([&] { return stage.Clock().NowMs() >= start + 2000; });
    // 66 ticks redraw the icon; only its 8 changes of frame reach the window.
    EXPECT_GE(stage.Window().Presents() - before, 7);
    EXPECT_LE(stage.Window().Presents() - before, 9);
}

}  // namespace
}  // namespace kelva
