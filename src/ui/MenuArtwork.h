// The game menu's button pictures, drawn in code in the dialogs' style: 224 x 32 faces
// (wider than the menu, whose edge cuts them) with an icon at the left, on white when
// plain and on a pale blue rounded bar when highlighted; the cancel button has no icon
// and a pink bar, deeper pink when highlighted. The captions are drawn on later.
#pragma once

#include "graphics/NkDIB.h"

namespace kelva {

inline constexpr int kMenuButtonWidth = 224;
inline constexpr int kMenuButtonHeight = 32;

enum class MenuIcon {
    BookmarkTag,  // insert a bookmark: a red tag with a swallowtail end
    TurningBook,  // read from a bookmark: an open book under a green turning arrow
    TwoWindows,   // window or full screen: two overlapping windows
    FastForward,  // two arrow heads
    ClosedBook,   // close the book: a closed blue book
    Cancel,       // no icon: a pink bar, plain or highlighted
};

TNkDIB MenuButtonPicture(MenuIcon icon, bool highlighted);

}  // namespace kelva
