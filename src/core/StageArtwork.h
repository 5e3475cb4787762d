// The stage window's own pictures, drawn in code rather than shipped as files.
#pragma once

#include <optional>
#include <string_view>

#include "graphics/NkDIB.h"
#include "platform/FontRasteriser.h"

namespace kelva {

// The key-wait icon: two 24 x 24 frames side by side (48 x 24, 24 bits per pixel) on
// white, which is the transparent colour.
TNkDIB KeyWaitIconFrames();

// The sign that auto-advance is on: a small dark plate with a rim, a gold "play" triangle
// and three dots, its top-left corner at (left, top).
inline constexpr int kAutoAdvanceSignWidth = 40;
inline constexpr int kAutoAdvanceSignHeight = 20;
void DrawAutoAdvanceSign(TNkDIB& target, int left, int top);

// The runtime's badge for the logo screen: 260 x 42, 24 bits per pixel. Its bottom-left
// pixel holds the transparent colour, which surrounds the rounded badge.
TNkDIB PoweredByImage(FontRasteriser& fonts);
inline constexpr int kPoweredByWidth = 260;
inline constexpr int kPoweredByHeight = 42;

// The logo screen's runtime texts, right-aligned at x = 636: the version in red with a
// grey shadow and, when the decoder library is loaded, its version below in white
// outlined in black.
void DrawVersionText(TNkDIB& target, FontRasteriser& fonts, std::optional<int> libraryVersion);

// The title screen of a story without a title picture: the story's title and the call to
// click, centred in white.
void DrawTitleText(TNkDIB& target, FontRasteriser& fonts, std::string_view title);

}  // namespace kelva
