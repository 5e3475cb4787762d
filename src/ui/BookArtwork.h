// The bookmark book's pictures, drawn in code: the ribbon (154 x 272) on which a
// bookmark's number, label and date are written, and the leafing arrows.
#pragma once

#include "graphics/NkDIB.h"

namespace kelva {

inline constexpr int kRibbonWidth = 154;
inline constexpr int kRibbonHeight = 272;

// A ribbon hanging from the top edge with a swallowtail end and a round seal near the top
// for the number; white around it. Highlighted, it is a shade deeper.
TNkDIB RibbonPicture(bool highlighted);
// A tall arrow head on white pointing left or right.
TNkDIB ArrowPicture(bool pointsLeft, bool highlighted);

}  // namespace kelva
