// The stage window's own pictures, drawn in code rather than shipped as files.
#pragma once

#include "graphics/NkDIB.h"

namespace kelva {

// The key-wait icon: two 24 x 24 frames side by side (48 x 24, 24 bits per pixel) on
// white, which is the transparent colour.
TNkDIB KeyWaitIconFrames();

}  // namespace kelva
