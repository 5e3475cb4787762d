// The services the stage window runs on: its window, the clock, message boxes, sound,
// the text rasteriser and the transcript.
#pragma once

#include "core/Transcript.h"
#include "platform/Clock.h"
#include "platform/FontRasteriser.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "sound/StageSound.h"

namespace kelva {

// All borrowed.
struct StageServices {
    StageWindow& Window;
    Clock& Time;
    MessageBox& Messages;
    StageSound& Sound;
    FontRasteriser& Fonts;
    Transcript& Log;
};

}  // namespace kelva
