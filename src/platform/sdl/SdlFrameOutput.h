// How the stage's pixels reach the screen through SDL: the accelerated renderer, a
// texture drawn by the graphics card, or the window surface, pixels copied straight into
// the window without any 3D library. Both upload only the part of the stage that changed,
// and scale and letterbox the stage in a larger window and in full screen.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>
#include <utility>

#include "platform/Window.h"
#include "platform/sdl/RendererChoice.h"
#include "platform/sdl/StageViewport.h"

namespace kelva {

class SdlFrameOutput {
public:
    // `window` borrowed.
    SdlFrameOutput(SDL_Window* window, StageScaling scaling) : m_window(window), m_scaling(scaling) {}
    virtual ~SdlFrameOutput() = default;
    SdlFrameOutput(const SdlFrameOutput&) = delete;
    SdlFrameOutput& operator=(const SdlFrameOutput&) = delete;

    // As StageWindow::Present.
    virtual void Present(const uint8_t* pixels, int pitch, const StageArea& changed) = 0;
    // Shows the last stage presented again: the window was exposed, resized or switched.
    virtual void Redraw() = 0;
    // "accelerated (NAME)" or "software (window surface)", for the log.
    virtual std::string Describe() const = 0;

    // A mouse event's point, in the window's points as SDL reports it, as a stage pixel.
    std::pair<int, int> EventToStage(int x, int y) const;
    // The window point of a stage pixel, to move the pointer to.
    std::pair<int, int> StageToWindow(int x, int y) const;

protected:
    // The stage's place in the window's pixels (more than its points on a high-density screen).
    StageViewport Viewport() const;

    SDL_Window* m_window;
    StageScaling m_scaling;
};

// The output for `window`, borrowed; nullptr and a reason in `error` when it can't be made.
std::unique_ptr<SdlFrameOutput> CreateSdlFrameOutput(SDL_Window* window, RendererChoice choice,
                                                     StageScaling scaling, std::string& error);

}  // namespace kelva
