#include "core/StageLoop.h"

#include <algorithm>

namespace kelva {

namespace {
// A stopped or paused timer still lets the loop look around often enough for a dialog's
// own animation to step on time (the bookmark book leafs every 55 ms).
constexpr int kIdleWaitMs = 20;
}  // namespace

StageLoop::StageLoop(StageWindow& window, Clock& clock, FrameTimer& timer, StagePresenter& presenter,
                     WindowLayer& windows, StageLoopClient& client)
    : m_window(window),
      m_clock(clock),
      m_timer(timer),
      m_presenter(presenter),
      m_windows(windows),
      m_client(client)
{
    m_windows.SetModalLoop(*this);
}

bool StageLoop::WaitAndDispatch(int64_t deadlineMs)
{
    // Text entry (and with it the input method) is on only while an edit has the focus.
    if (const bool wanted = m_windows.WantsTextInput(); wanted != m_textInput) {
        m_textInput = wanted;
        m_window.SetTextInput(wanted);
    }
    std::optional<InputEvent> event = m_window.WaitEvent(deadlineMs);
    if (!event) return false;
    event = m_pad.Translate(*event);
    if (event->type == InputEvent::Type::FrameNeeded) {
        m_presenter.Flush(true);
    } else if (event->type == InputEvent::Type::FocusLost || event->type == InputEvent::Type::FocusGained) {
        // The story pauses while the reader is in another window; sounds play on.
        m_windows.HandleInput(*event);
        m_timer.SetActive(event->type == InputEvent::Type::FocusGained, m_clock.NowMs());
    } else if (!m_windows.HandleInput(*event)) {
        Dispatch(*event);
    }
    return true;
}

void StageLoop::Dispatch(const InputEvent& event)
{
    switch (event.type) {
        case InputEvent::Type::Quit:
            m_client.FormClose();
            break;
        case InputEvent::Type::KeyDown:
            m_client.FormKeyDown(event);
            break;
        case InputEvent::Type::MouseDown:
            m_client.FormMouseDown(event.button, event.x, event.y);
            break;
        case InputEvent::Type::MouseMove:
            m_client.FormMouseMove(event.x, event.y);
            break;
        case InputEvent::Type::KeyUp:
            m_client.FormKeyUp(event);
            break;
        case InputEvent::Type::MouseWheel:
            m_client.FormMouseWheel(event.wheel);
            break;
        default:
            break;  // the stage takes no mouse releases; presenting and focus are the loop's
    }
}

bool StageLoop::RunUntil(const std::function<bool()>& finished)
{
    while (!m_client.Closed() && !finished()) {
        int64_t deadline = m_timer.Running() ? m_timer.DueMs() : m_clock.NowMs() + kIdleWaitMs;
        if (const auto present = m_presenter.DueMs()) deadline = std::min(deadline, *present);
        if (WaitAndDispatch(deadline)) continue;
        m_client.Idle();
        if (const int lag = m_timer.Fire(m_clock.NowMs())) m_client.TimerTimer(lag);
        m_presenter.Flush(false);
    }
    return !m_client.Closed();
}

bool StageLoop::RunPending()
{
    while (WaitAndDispatch(m_clock.NowMs())) {
    }
    m_client.Idle();
    m_presenter.Flush(false);
    return !m_client.Closed();
}

}  // namespace kelva
