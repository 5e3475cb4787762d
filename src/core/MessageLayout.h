// Where story text goes in the message area: the line step, wrapping, punctuation that
// hangs past the margin, full pages and the key-wait icon's place. Pure functions of the
// text cursor, the character and its measured size, so the rules can be tried without a
// window or a font.
#pragma once

#include <string_view>

#include "core/PlayerState.h"
#include "graphics/NkDIB.h"

namespace kelva {

// From one line's top to the next: 140 % of the character height, at least 1 pixel.
int LineStep(int charHeight);

// Whether another line fits below the one whose top is at `y`.
bool LineFitsBelow(int y, int lineStep);

// "、", "。", "！", "？" and "」" never start a new line: they hang past the margin.
bool IsHangingPunctuation(std::string_view character);

enum class Placement {
    Here,      // at the cursor
    NextLine,  // at the start of the next line
    PageFull,  // nowhere: the page is full, the character waits for the next page
};

// Where a character of `size` goes when the cursor stands at `cursor`.
Placement PlaceCharacter(TPoint cursor, TPoint size, std::string_view character);

// The key-wait icon's area at the text cursor: 24 x 27, clipped to the stage.
TRect KeyWaitIconArea(TPoint cursor);

// The blink frame (0 or 1) of the key-wait icon: 250 ms a frame; an interval above that
// shows each frame for one tick.
int KeyWaitBlinkFrame(int tickTotal, int intervalMs);

}  // namespace kelva
