// A modal window shown with the frame timer stopped: the story stands still under it, as
// it does under the close question; music and sounds play on.
#pragma once

#include "core/FrameTimer.h"
#include "platform/Clock.h"
#include "ui/WindowLayer.h"

namespace kelva {

inline int ShowModalPaused(WindowLayer& windows, DialogWindow& window, FrameTimer& timer, Clock& clock)
{
    timer.SetEnabled(false, clock.NowMs());
    const int result = windows.ShowModal(window);
    timer.SetEnabled(true, clock.NowMs());
    return result;
}

}  // namespace kelva
