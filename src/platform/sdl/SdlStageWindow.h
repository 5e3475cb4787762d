#pragma once

#include <memory>
#include <string>

#include "platform/Clock.h"
#include "platform/Window.h"

namespace kelva {

// Initialises SDL's video and opens the (still hidden) stage window. nullptr and a
// reason in `error` when there is no usable display.
std::unique_ptr<StageWindow> CreateSdlStageWindow(Clock& clock, std::string& error);

// True when SDL will run without a display: its video driver is "dummy" or "offscreen".
bool SdlVideoIsHeadless();

}  // namespace kelva
