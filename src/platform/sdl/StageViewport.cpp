#include "platform/sdl/StageViewport.h"

#include <algorithm>
#include <cstdint>

namespace kelva {

int StageViewport::WholeScale(int width, int height)
{
    return std::max(0, std::min(width / kStageWidth, height / kStageHeight));
}

StageViewport StageViewport::ForWindow(int width, int height, StageScaling scaling)
{
    if (width <= 0 || height <= 0) return {};
    StageViewport view;
    if (const int factor = WholeScale(width, height); scaling == StageScaling::Whole && factor >= 1) {
        view.Width = kStageWidth * factor;
        view.Height = kStageHeight * factor;
    } else if (static_cast<int64_t>(width) * kStageHeight <= static_cast<int64_t>(height) * kStageWidth) {
        // The larger scale that still fits, in whole pixels: width / 640 against height / 480.
        view.Width = width;
        view.Height = static_cast<int>(static_cast<int64_t>(width) * kStageHeight / kStageWidth);
    } else {
        view.Height = height;
        view.Width = static_cast<int>(static_cast<int64_t>(height) * kStageWidth / kStageHeight);
    }
    view.X = (width - view.Width) / 2;
    view.Y = (height - view.Height) / 2;
    return view;
}

int StageViewport::Factor() const
{
    const int factor = Width / kStageWidth;
    return factor >= 1 && Width == kStageWidth * factor && Height == kStageHeight * factor ? factor : 0;
}

std::pair<int, int> StageViewport::ToStage(int x, int y) const
{
    // The window pixel's centre decides which stage pixel it lies in.
    const auto along = [](int point, int origin, int size, int stage) {
        const int64_t scaled =
            (2 * static_cast<int64_t>(point - origin) + 1) * stage / (2 * int64_t{std::max(1, size)});
        return static_cast<int>(std::clamp<int64_t>(scaled, 0, stage - 1));
    };
    return {along(x, X, Width, kStageWidth), along(y, Y, Height, kStageHeight)};
}

std::pair<int, int> StageViewport::ToWindow(int x, int y) const
{
    // The centre of the stage pixel, so that ToStage brings back the same pixel.
    return {X + static_cast<int>((2 * static_cast<int64_t>(x) + 1) * Width / (2 * kStageWidth)),
            Y + static_cast<int>((2 * static_cast<int64_t>(y) + 1) * Height / (2 * kStageHeight))};
}

}  // namespace kelva
