#include "ui/ControlLook.h"

namespace kelva {

void PrepareControlText(TAntiAliasTextout& text)
{
    text.Smooth = false;
    text.Decoration = kDecorationNone;
    text.Font = ControlFont();
    text.TextColor = kTextColour;
}

void DrawEdge(TNkDIB& target, const TRect& rect, TColor topLeft, TColor bottomRight)
{
    if (rect.IsEmpty()) return;
    target.FillRect(TRect{rect.Left, rect.Top, rect.Right, rect.Top + 1}, topLeft);
    target.FillRect(TRect{rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, topLeft);
    target.FillRect(TRect{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, bottomRight);
    target.FillRect(TRect{rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, bottomRight);
}

void DrawRaisedEdge(TNkDIB& target, const TRect& rect)
{
    DrawEdge(target, rect, kFaceColour, kDarkShadowColour);
    DrawEdge(target, TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1}, kLightColour,
             kShadowColour);
}

void DrawSunkenEdge(TNkDIB& target, const TRect& rect)
{
    DrawEdge(target, rect, kShadowColour, kLightColour);
    DrawEdge(target, TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1}, kDarkShadowColour,
             kFaceColour);
}

void DrawFocusFrame(TNkDIB& target, const TRect& rect)
{
    const TRect shown = rect.Intersect(target.BoundsRect());
    if (shown.IsEmpty()) return;
    // Every other pixel along the edge, as a dotted line is drawn.
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0) target.SetPixel(x, y, target.Pixel(x, y) ^ 0xFFFFFF);
    };
    for (int x = shown.Left; x < shown.Right; ++x) {
        dot(x, shown.Top);
        if (shown.Bottom - 1 > shown.Top) dot(x, shown.Bottom - 1);
    }
    for (int y = shown.Top + 1; y < shown.Bottom - 1; ++y) {
        dot(shown.Left, y);
        if (shown.Right - 1 > shown.Left) dot(shown.Right - 1, y);
    }
}

void DrawArrow(TNkDIB& target, TPoint centre, bool up, TColor colour)
{
    // Four rows, 7, 5, 3 and 1 pixels wide, the widest at the arrow's foot.
    for (int row = 0; row < 4; ++row) {
        const int half = 3 - row;
        const int y = up ? centre.Y + 1 - row : centre.Y - 2 + row;
        target.FillRect(TRect{centre.X - half, y, centre.X + half + 1, y + 1}, colour);
    }
}

void DrawTextClipped(TAntiAliasTextout& text, TNkDIB& target, const TRect& box, int x, int y,
                     std::string_view caption)
{
    const TRect shown = box.Intersect(target.BoundsRect());
    if (shown.IsEmpty()) return;
    // The renderer draws anywhere in its target: give it a target the size of the box.
    TNkDIB scratch(shown.Width(), shown.Height(), 24);
    scratch.CopyRect(scratch.BoundsRect(), target, shown);
    TNkDIB* const previous = text.Target;
    text.Target = &scratch;
    text.DrawText(x - shown.Left, y - shown.Top, caption);
    text.Target = previous;
    target.CopyRect(shown, scratch, scratch.BoundsRect());
}

void DrawDisabledText(TAntiAliasTextout& text, TNkDIB& target, int x, int y, std::string_view caption)
{
    const TColor colour = text.TextColor;
    text.Target = &target;
    text.TextColor = kLightColour;
    text.DrawText(x + 1, y + 1, caption);
    text.TextColor = kGreyTextColour;
    text.DrawText(x, y, caption);
    text.TextColor = colour;
}

}  // namespace kelva
