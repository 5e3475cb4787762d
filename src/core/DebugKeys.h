// The author's keys in debug mode: F5 opens the counter window (when the story has a
// counter), F6 the jump window, each modal with the frame timer stopped; F7 stops
// everything (music, sound, characters) and F8 skips the running transition.
#pragma once

#include <memory>

#include "core/FrameTimer.h"
#include "core/StageCommands.h"
#include "debug/DebugCounterForm.h"
#include "debug/DebugJumpForm.h"
#include "platform/Clock.h"
#include "platform/Keys.h"
#include "ui/WindowLayer.h"

namespace kelva {

// What the debug keys ask of the stage form: a new page, and the reading mode of a jump.
class DebugHost : public PageHost {
public:
    virtual void SetMode(PlayerMode mode) = 0;
};

class DebugKeys {
public:
    // All borrowed.
    DebugKeys(const CommandContext& context, DebugHost& host, WindowLayer& windows, FrameTimer& timer,
              Clock& clock, FontRasteriser& fonts)
        : m_context(context), m_host(host), m_windows(windows), m_timer(timer), m_clock(clock), m_fonts(fonts)
    {
    }

    // Carries out `key` if it is one of them.
    void HandleKey(Key key);

private:
    void ShowCounters();
    void ShowJump();
    void Jump(int item);
    // Shows the window modally with the frame timer stopped.
    void ShowModal(DialogWindow& window);
    void PanicStop();
    void SkipTransition();

    CommandContext m_context;
    DebugHost& m_host;
    WindowLayer& m_windows;
    FrameTimer& m_timer;
    Clock& m_clock;
    FontRasteriser& m_fonts;
    // Made when first opened: a story read without F5 or F6 never needs them.
    std::unique_ptr<TDebugCounterForm> m_counterForm;
    std::unique_ptr<TDebugJumpForm> m_jumpForm;
};

}  // namespace kelva
