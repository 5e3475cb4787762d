// The stage's place in a window of any size: how full screen scales and letterboxes it.
#pragma once

#include <utility>

#include "platform/Window.h"

namespace kelva {

// Where the 640 x 480 stage shows inside a window of `width` x `height` pixels: scaled as
// large as fits with its shape kept, centred, black bars around it.
struct StageViewport {
    int X = 0;
    int Y = 0;
    int Width = kStageWidth;
    int Height = kStageHeight;

    static StageViewport ForWindow(int width, int height);
    // A window point as a stage pixel, clamped onto the stage.
    std::pair<int, int> ToStage(int x, int y) const;
    // A stage pixel's window point.
    std::pair<int, int> ToWindow(int x, int y) const;
};

}  // namespace kelva
