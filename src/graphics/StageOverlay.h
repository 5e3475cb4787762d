// Something drawn over the stage as it is shown (the debug bar, dialog windows), never
// into the story's own pictures.
#pragma once

#include "graphics/NkDIB.h"

namespace kelva {

class StageOverlay {
public:
    virtual ~StageOverlay() = default;
    // Draws onto `frame`, a copy of the stage's screen picture about to be shown.
    virtual void DrawOver(TNkDIB& frame) = 0;
};

}  // namespace kelva
