// The look of the standard controls (buttons, lists, edits, headers, framed dialogs): the
// colours of a plain grey desktop and the edges, arrows and clipped text they are drawn
// with.
#pragma once

#include <string_view>

#include "graphics/AntiAliasTextout.h"
#include "graphics/FontSpec.h"
#include "graphics/NkDIB.h"

namespace kelva {

inline constexpr TColor kFaceColour = MakeColor(212, 208, 200);
inline constexpr TColor kLightColour = MakeColor(255, 255, 255);
inline constexpr TColor kShadowColour = MakeColor(128, 128, 128);
inline constexpr TColor kDarkShadowColour = MakeColor(64, 64, 64);
inline constexpr TColor kFieldColour = MakeColor(255, 255, 255);
inline constexpr TColor kTextColour = MakeColor(0, 0, 0);
inline constexpr TColor kGreyTextColour = MakeColor(128, 128, 128);
// The selection: a selected list line, selected text in an edit.
inline constexpr TColor kSelectionColour = MakeColor(10, 36, 106);
inline constexpr TColor kSelectedTextColour = MakeColor(255, 255, 255);

// The dialogs' font: 12 pixels of the proportional gothic face.
inline FontSpec ControlFont(bool bold = false)
{
    return FontSpec{kGothicFace, 12, bold};
}

// A text renderer set up for controls: hard-edged letters, no decoration, black.
void PrepareControlText(TAntiAliasTextout& text);

// A one-pixel frame: `topLeft` along the top and left, `bottomRight` along the others.
void DrawEdge(TNkDIB& target, const TRect& rect, TColor topLeft, TColor bottomRight);
// Two-pixel edges: a raised one (buttons, the dialog frame) and a sunken one (fields).
void DrawRaisedEdge(TNkDIB& target, const TRect& rect);
void DrawSunkenEdge(TNkDIB& target, const TRect& rect);
// The dotted frame around the control or line that has the keyboard focus.
void DrawFocusFrame(TNkDIB& target, const TRect& rect);
// A small filled triangle pointing up or down, 7 pixels wide, centred on `centre`.
void DrawArrow(TNkDIB& target, TPoint centre, bool up, TColor colour);
// Text at (x, y), cut to `box`; returns the text's box.
void DrawTextClipped(TAntiAliasTextout& text, TNkDIB& target, const TRect& box, int x, int y,
                     std::string_view caption);
// The greyed text of a disabled control: grey with a white copy one pixel down-right.
void DrawDisabledText(TAntiAliasTextout& text, TNkDIB& target, int x, int y, std::string_view caption);

}  // namespace kelva
