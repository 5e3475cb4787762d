// The stage's place in a window of any size: how a scaled window and full screen show it.
#pragma once

#include <utility>

#include "platform/Window.h"

namespace kelva {

// How the stage grows to fill a larger window.
enum class StageScaling {
    Whole,   // by the largest whole factor that fits: every stage pixel a square of screen pixels
    Smooth,  // as large as fits with its shape kept, filtered
};

// Where the 640 x 480 stage shows inside a window of `width` x `height` pixels: centred,
// black bars around it, its shape kept.
struct StageViewport {
    int X = 0;
    int Y = 0;
    int Width = kStageWidth;
    int Height = kStageHeight;

    // With Whole scaling a window smaller than the stage still shrinks it to fit.
    static StageViewport ForWindow(int width, int height, StageScaling scaling);
    // How many whole stage sizes fit across and down `width` x `height`; 0 when not one.
    static int WholeScale(int width, int height);
    // The whole factor this viewport scales by; 0 when it scales by a fraction.
    int Factor() const;
    // A window point as a stage pixel, clamped onto the stage.
    std::pair<int, int> ToStage(int x, int y) const;
    // A stage pixel's window point.
    std::pair<int, int> ToWindow(int x, int y) const;
};

}  // namespace kelva
