#pragma once

#include <memory>
#include <string>

#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/sdl/RendererChoice.h"

namespace kelva {

// Initialises SDL's video and opens the (still hidden) stage window, shown through
// `renderer`; `outputName` says which output that came to. nullptr and a reason in
// `error` when there is no usable display.
std::unique_ptr<StageWindow> CreateSdlStageWindow(Clock& clock, RendererChoice renderer, std::string& error,
                                                  std::string& outputName);

// True when SDL will run without a display: its video driver is "dummy" or "offscreen".
bool SdlVideoIsHeadless();

}  // namespace kelva
