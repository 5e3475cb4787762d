#pragma once

#include <memory>
#include <string>

#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/sdl/RendererChoice.h"

namespace kelva {

// How the stage window looks, as the command line asks.
struct SdlWindowOptions {
    RendererChoice Renderer = RendererChoice::Automatic;
    int Scale = 1;        // the window is Scale times the stage's size
    bool Smooth = false;  // scaled with linear filtering, to the largest size that fits
};

// Initialises SDL's video and opens the (still hidden) stage window; `outputName` says
// which output the renderer choice came to. nullptr and a reason in `error` when there is
// no usable display, or when the scale asked for makes a window larger than the desktop.
std::unique_ptr<StageWindow> CreateSdlStageWindow(Clock& clock, const SdlWindowOptions& options,
                                                  std::string& error, std::string& outputName);

// True when SDL will run without a display: its video driver is "dummy" or "offscreen".
bool SdlVideoIsHeadless();

}  // namespace kelva
