// Pictures shared by the bookmark windows, drawn in code in the dialogs' colours: button
// faces with outlined white captions on rounded bars, and the cancel button.
#pragma once

#include <string_view>

#include "graphics/FontSpec.h"
#include "graphics/NkDIB.h"
#include "platform/FontRasteriser.h"
#include "ui/Controls.h"

namespace kelva {

inline constexpr TColor kDialogWhite = MakeColor(255, 255, 255);
inline constexpr TColor kDialogBlue = MakeColor(160, 160, 255);
inline constexpr TColor kDialogPaleBlue = MakeColor(230, 230, 255);

// Draws `text` at `at` in white with a black outline, not smoothed: the dialogs' captions.
void DrawOutlined(TNkDIB& target, FontRasteriser& fonts, TPoint at, const FontSpec& font,
                  std::string_view text);

// A face `width` x `height`: white, a rounded bar with corners `corner` in `background`,
// the caption at (x, y) in white with a black outline, not smoothed.
TNkDIB OutlinedButtonFace(FontRasteriser& fonts, TPoint size, int corner, TColor background, TPoint at,
                          const FontSpec& font, std::string_view caption);

// A drawn title bar `width` wide: 32 rows in `colour` (the window shows the top 21) with
// the caption at (16, 0) in 18 px white outlined in black, not smoothed.
TNkDIB TitleBarPicture(FontRasteriser& fonts, int width, TColor colour, std::string_view caption);

// Gives the button its plain (leave) and highlighted (enter) faces, the plain one shown.
void SetHotFaces(THotImage& button, TNkDIB plain, TNkDIB highlighted);

// The cancel button: "キャンセル" at (textX, 6), 18 pixels bold, on a raised bar that
// lights up under the pointer.
void MakeCancelButton(THotImage& button, FontRasteriser& fonts, int textX);

}  // namespace kelva
