#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>

#include "core/StageLoop.h"
#include "platform/headless/ManualClock.h"

namespace kelva {
namespace {

// A window whose input comes at set times on a virtual clock; it counts what it shows.
class ScriptedWindow final : public StageWindow {
public:
    explicit ScriptedWindow(ManualClock& clock) : m_clock(clock) {}
    void At(int64_t ms, InputEvent event) { m_events.push_back({ms, event}); }
    int presents = 0;
    std::vector<bool> textInput;  // every switch of text entry
    std::vector<StageArea> areas;

    void SetTitle(std::string_view) override {}
    bool Show(bool, int) override { return true; }
    void MovePointer(int, int) override {}
    void Present(const uint8_t*, int, const StageArea& area) override
    {
        ++presents;
        areas.push_back(area);
    }
    void SetPointer(Pointer) override {}
    void SetTextInput(bool on) override { textInput.push_back(on); }
    std::vector<DisplayMode> DisplayModes() override { return {}; }
    std::optional<InputEvent> WaitEvent(int64_t deadlineMs) override
    {
        if (!m_events.empty() && m_events.front().first <= deadlineMs) {
            m_clock.SleepUntil(m_events.front().first);
            const InputEvent event = m_events.front().second;
            m_events.pop_front();
            return event;
        }
        m_clock.SleepUntil(deadlineMs);
        return std::nullopt;
    }

private:
    ManualClock& m_clock;
    std::deque<std::pair<int64_t, InputEvent>> m_events;
};

// Records what the loop hands it; a Quit closes it.
class CountingClient final : public StageLoopClient {
public:
    std::vector<InputEvent::Type> inputs;
    std::vector<int64_t> tickTimes;
    std::vector<int> lags;
    int idles = 0;
    bool closed = false;
    ManualClock* clock = nullptr;
    std::function<void()> onTick;  // a tick that opens a modal window runs it here

    void FormKeyDown(const InputEvent&) override { inputs.push_back(InputEvent::Type::KeyDown); }
    void FormMouseDown(MouseButton, int, int) override { inputs.push_back(InputEvent::Type::MouseDown); }
    void FormMouseMove(int, int) override { inputs.push_back(InputEvent::Type::MouseMove); }
    void FormKeyUp(const InputEvent&) override { inputs.push_back(InputEvent::Type::KeyUp); }
    void FormMouseWheel(int) override { inputs.push_back(InputEvent::Type::MouseWheel); }
    void FormClose() override
    {
        inputs.push_back(InputEvent::Type::Quit);
        closed = true;
    }
    void Idle() override { ++idles; }
    void TimerTimer(int lag) override
    {
        tickTimes.push_back(clock->NowMs());
        lags.push_back(lag);
        if (onTick) std::exchange(onTick, nullptr)();
    }
    bool Closed() const override { return closed; }
};

InputEvent Event(InputEvent::Type type)
{
    InputEvent event;
    event.type = type;
    return event;
}

struct LoopFixture {
    ManualClock clock;
    ScriptedWindow window{clock};
    FrameTimer timer{0, 30};
    TNkDIB screen{640, 480, 24};
    StagePresenter presenter{window, clock, screen};
    CountingClient client;
    WindowLayer windows{[] {}};
    StageLoop loop{window, clock, timer, presenter, windows, client};
    LoopFixture() { client.clock = &clock; }
};

// A focusable control that takes typed text and keeps it.
struct TextField final : TWinControl {
    std::string typed;
    bool WantsText() const override { return true; }
    void TextInput(std::string_view text) override { typed += text; }
    void Paint(TNkDIB&) override {}
};

TEST(StageLoop, TextEntryIsOnOnlyWhileAFieldHasTheFocusAndTypedTextGoesToIt)
{
    LoopFixture f;
    DialogWindow dialog(100, 100);
    TextField field;
    dialog.Add(field);
    f.windows.Show(dialog);
    InputEvent typed = Event(InputEvent::Type::TextInput);
    typed.text = "12";
    f.window.At(10, typed);
    f.loop.RunUntil([&] { return f.clock.NowMs() >= 40; });
    EXPECT_TRUE(f.window.textInput.empty()) << "off at first, and not switched on without a field";
    dialog.SetActiveControl(&field);
    f.window.At(50, typed);
    f.loop.RunUntil([&] { return f.clock.NowMs() >= 80; });
    dialog.SetActiveControl(nullptr);
    f.loop.RunUntil([&] { return f.clock.NowMs() >= 120; });
    EXPECT_EQ(f.window.textInput, (std::vector<bool>{true, false}));
    EXPECT_EQ(field.typed, "12") << "only what came while it had the focus";
    EXPECT_TRUE(f.client.inputs.empty()) << "typed text never reaches the story";
}

TEST(StageLoop, TicksOnTimeBetweenEventsUntilItsConditionHolds)
{
    LoopFixture f;
    f.window.At(40, Event(InputEvent::Type::MouseMove));
    EXPECT_TRUE(f.loop.RunUntil([&] { return f.client.tickTimes.size() == 3; }));
    EXPECT_EQ(f.client.tickTimes, (std::vector<int64_t>{30, 60, 90}));
    EXPECT_EQ(f.client.inputs, std::vector<InputEvent::Type>{InputEvent::Type::MouseMove});
}

TEST(StageLoop, TheTimerPausesWhileTheWindowIsNotActive)
{
    LoopFixture f;
    f.window.At(100, Event(InputEvent::Type::FocusLost));
    f.window.At(1000, Event(InputEvent::Type::FocusGained));
    EXPECT_TRUE(f.loop.RunUntil([&] { return f.client.tickTimes.size() == 5; }));
    // The time away is not made up for: the first tick back has a lag of one.
    EXPECT_EQ(f.client.tickTimes, (std::vector<int64_t>{30, 60, 90, 1030, 1060}));
    EXPECT_EQ(f.client.lags, (std::vector<int>{1, 1, 1, 1, 1}));
    EXPECT_GT(f.client.idles, 0) << "the media watches go on meanwhile";
    EXPECT_TRUE(f.client.inputs.empty()) << "the loop handles focus itself";

    // A modal window's stop and restart inside the pause does not end the pause.
    f.window.At(1100, Event(InputEvent::Type::FocusLost));
    f.window.At(2000, Event(InputEvent::Type::FocusGained));
    f.client.onTick = [&] {
        f.timer.SetEnabled(false, f.clock.NowMs());
        f.loop.RunUntil([&] { return f.clock.NowMs() >= 1500; });
        f.timer.SetEnabled(true, f.clock.NowMs());
    };
    EXPECT_TRUE(f.loop.RunUntil([&] { return f.client.tickTimes.size() == 9; }));
    EXPECT_EQ(f.client.tickTimes, (std::vector<int64_t>{30, 60, 90, 1030, 1060, 1090, 2030, 2060, 2090}));
}

TEST(StageLoop, ClosingEndsNestedLoopsOneAfterAnother)
{
    LoopFixture f;
    f.window.At(100, Event(InputEvent::Type::Quit));
    bool innerEnded = false;
    f.client.onTick = [&] {
        // A modal window opened at the first tick runs the same loop inside it.
        EXPECT_FALSE(f.loop.RunUntil([] { return false; }));
        innerEnded = true;
    };
    const bool outer = f.loop.RunUntil([] { return false; });
    EXPECT_FALSE(outer);
    EXPECT_TRUE(innerEnded);
    EXPECT_EQ(f.client.tickTimes.size(), 3u);  // 30, 60, 90: the timer kept ticking inside
}

TEST(StageLoop, PendingEventsAreHandledWithoutWaitingOrTicking)
{
    LoopFixture f;
    f.clock.Advance(500);  // the timer is long overdue
    f.window.At(500, Event(InputEvent::Type::MouseDown));
    f.window.At(500, Event(InputEvent::Type::KeyDown));
    f.window.At(900, Event(InputEvent::Type::Quit));  // still to come: not waited for
    EXPECT_TRUE(f.loop.RunPending());
    EXPECT_EQ(f.client.inputs.size(), 2u);
    EXPECT_TRUE(f.client.tickTimes.empty());
    EXPECT_EQ(f.client.idles, 1);
    EXPECT_EQ(f.clock.NowMs(), 500);
}

TEST(StageLoop, PresentsAChangeOnlyAfterStartAndAtMostOncePerRefresh)
{
    LoopFixture f;
    f.presenter.MarkChanged();
    f.loop.RunUntil([&] { return f.client.tickTimes.size() == 1; });
    EXPECT_EQ(f.window.presents, 0);  // the window isn't shown yet
    f.presenter.Start();
    f.presenter.MarkChanged();
    f.presenter.Flush(false);
    f.screen.FillRect({10, 10, 20, 20}, MakeColor(255, 0, 0));
    f.presenter.MarkChanged();
    f.presenter.Flush(false);  // within the same refresh: waits
    EXPECT_EQ(f.window.presents, 1);
    f.window.At(f.clock.NowMs(), Event(InputEvent::Type::FrameNeeded));  // a dump asks for it now
    f.loop.RunPending();
    EXPECT_EQ(f.window.presents, 2);
    const StageArea square = f.window.areas.back();  // only the square went to the window
    EXPECT_EQ((std::vector{square.Left, square.Top, square.Right, square.Bottom}),
              (std::vector{10, 10, 20, 20}));
    EXPECT_TRUE(f.client.inputs.empty());  // the loop answers that itself
}

}  // namespace
}  // namespace kelva
