#include "core/MessageLayout.h"

#include <algorithm>

#include "platform/Window.h"

namespace kelva {

int LineStep(int charHeight)
{
    return std::max(1, charHeight * 140 / 100);
}

bool LineFitsBelow(int y, int lineStep)
{
    return y + 2 * lineStep < kMessageArea.Bottom;
}

bool IsHangingPunctuation(std::string_view character)
{
    return character == "、" || character == "。" || character == "！" || character == "？" ||
           character == "」";
}

Placement PlaceCharacter(TPoint cursor, TPoint size, std::string_view character)
{
    // A character wraps once its middle would pass the right margin.
    if (IsHangingPunctuation(character) || cursor.X + size.X / 2 <= kMessageArea.Right)
        return Placement::Here;
    return LineFitsBelow(cursor.Y, LineStep(size.Y)) ? Placement::NextLine : Placement::PageFull;
}

TRect KeyWaitIconArea(TPoint cursor)
{
    return TRect{cursor.X, cursor.Y, cursor.X + 24, cursor.Y + 27}.Intersect(
        TRect{0, 0, kStageWidth, kStageHeight});
}

int KeyWaitBlinkFrame(int tickTotal, int intervalMs)
{
    const int ticksPerFrame = std::max(1, 250 / std::max(1, intervalMs));
    return (tickTotal / ticksPerFrame) % 2;
}

}  // namespace kelva
