// The stage window's own pictures, drawn in code rather than shipped as files.
#pragma once

#include "graphics/NkDIB.h"
#include "platform/FontRasteriser.h"

namespace kelva {

// The key-wait icon: two 24 x 24 frames side by side (48 x 24, 24 bits per pixel) on
// white, which is the transparent colour.
TNkDIB KeyWaitIconFrames();

// The runtime's badge for the logo screen: 260 x 42, 24 bits per pixel. Its bottom-left
// pixel holds the transparent colour, which surrounds the rounded badge.
TNkDIB PoweredByImage(FontRasteriser& fonts);
inline constexpr int kPoweredByWidth = 260;
inline constexpr int kPoweredByHeight = 42;

}  // namespace kelva
