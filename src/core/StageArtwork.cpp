#include "core/StageArtwork.h"

#include <array>

namespace kelva {

namespace {

constexpr TColor kWhite = MakeColor(255, 255, 255);
constexpr TColor kOutline = MakeColor(40, 24, 8);
constexpr TColor kGold = MakeColor(255, 208, 64);

// A downward arrowhead, its top edge at `top`: the "turn the page" sign. The outline is
// the same shape one pixel larger, so the sign reads on light and dark pictures alike.
void DrawArrowhead(TNkDIB& image, int left, int top)
{
    const std::array<TPoint, 3> outline = {TPoint{left + 3, top}, TPoint{left + 21, top}, TPoint{left + 12, top + 12}};
    const std::array<TPoint, 3> inner = {TPoint{left + 6, top + 2}, TPoint{left + 18, top + 2},
                                         TPoint{left + 12, top + 9}};
    image.FillPolygon(outline, kOutline);
    image.FillPolygon(inner, kGold);
}

}  // namespace

TNkDIB KeyWaitIconFrames()
{
    TNkDIB frames(48, 24, 24);
    frames.FillRect(frames.BoundsRect(), kWhite);
    // The second frame has the arrow three pixels lower: a small bounce as it blinks.
    DrawArrowhead(frames, 0, 6);
    DrawArrowhead(frames, 24, 9);
    return frames;
}

}  // namespace kelva
