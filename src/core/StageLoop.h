// The one loop the stage runs on: it sleeps until the next input event, the frame
// timer's next tick or the next due present, hands the input on (pausing the timer while
// the window is not the active one), fires the timer and
// shows the picture. The main loop, the wait for a CD and every modal window run this
// same loop, nested, each until its own exit condition holds.
#pragma once

#include <cstdint>
#include <functional>

#include "core/FrameTimer.h"
#include "core/PadMapping.h"
#include "core/StagePresenter.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "ui/WindowLayer.h"

namespace kelva {

// What the loop drives: the stage form.
class StageLoopClient {
public:
    virtual ~StageLoopClient() = default;
    // The stage's input handlers, for what the dialog windows leave to it.
    virtual void FormKeyDown(const InputEvent& key) = 0;
    virtual void FormMouseDown(MouseButton button, int x, int y) = 0;
    virtual void FormMouseMove(int x, int y) = 0;
    // A key let go, and the wheel turned over the stage (steps positive away from the reader).
    virtual void FormKeyUp(const InputEvent& key) = 0;
    virtual void FormMouseWheel(int steps) = 0;
    // The stage window was closed, or the program was asked to end.
    virtual void FormClose() = 0;
    // Runs between events: the media watches (a song's end, the CD drives).
    virtual void Idle() = 0;
    virtual void TimerTimer(int lagCount) = 0;
    // The stage window is closing: every loop ends.
    virtual bool Closed() const = 0;
};

class StageLoop final : public ModalLoop {
public:
    // All borrowed. Input goes to `windows` first, and to the client when they leave it.
    StageLoop(StageWindow& window, Clock& clock, FrameTimer& timer, StagePresenter& presenter,
              WindowLayer& windows, StageLoopClient& client);

    // Runs until `finished` holds (asked before every turn) or the stage closes; false
    // when the stage closed.
    bool RunUntil(const std::function<bool()>& finished) override;
    // Handles the events waiting now, without waiting and without the frame timer: for a
    // command that makes the story wait inside a tick. False once the stage is closing.
    bool RunPending();

private:
    // One turn: waits for an event until `deadlineMs`; returns whether one came.
    bool WaitAndDispatch(int64_t deadlineMs);
    void Dispatch(const InputEvent& event);

    StageWindow& m_window;
    Clock& m_clock;
    FrameTimer& m_timer;
    StagePresenter& m_presenter;
    WindowLayer& m_windows;
    StageLoopClient& m_client;
    PadMapping m_pad;          // before the windows, so a dialog takes the pad as keys
    bool m_textInput = false;  // the platform's text entry is on
};

}  // namespace kelva
