// How the stage's pixels reach the screen through SDL: the accelerated renderer, a
// texture drawn by the graphics card, or the window surface, pixels copied straight into
// the window without any 3D library. Both upload only the part of the stage that changed,
// and scale and letterbox the stage in full screen.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <utility>

#include "platform/Window.h"
#include "platform/sdl/RendererChoice.h"

namespace kelva {

class SdlFrameOutput {
public:
    virtual ~SdlFrameOutput() = default;
    // As StageWindow::Present.
    virtual void Present(const uint8_t* pixels, int pitch, const StageArea& changed) = 0;
    // Shows the last stage presented again: the window was exposed, resized or switched.
    virtual void Redraw() = 0;
    // A mouse event's point, as SDL reports it, as a stage pixel.
    virtual std::pair<int, int> EventToStage(int x, int y) = 0;
    // The window point of a stage pixel, to move the pointer to.
    virtual std::pair<int, int> StageToWindow(int x, int y) = 0;
    // "accelerated (NAME)" or "software (window surface)", for the log.
    virtual std::string Describe() const = 0;
};

// The output for `window`, borrowed; nullptr and a reason in `error` when it can't be made.
std::unique_ptr<SdlFrameOutput> CreateSdlFrameOutput(SDL_Window* window, RendererChoice choice,
                                                     std::string& error);

}  // namespace kelva
