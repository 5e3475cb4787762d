// Gamepad buttons as the keys and clicks they stand for, so the stage and the dialog
// windows take a pad without knowing one: A is Enter (a click, or the highlighted
// choice), B and Start a right click (the game menu), the D-pad the arrow keys, the right
// shoulder a held Ctrl (skipping while held), the left shoulder PageUp (the backlog) and
// Back Escape (the close question). A press becomes the press of its key or button and
// a release its release.
#pragma once

#include "platform/Window.h"

namespace kelva {

class PadMapping {
public:
    // The event the stage receives for `event`: a pad button mapped, a button without a
    // meaning and every other event unchanged. Mouse events are watched for the pointer's
    // place, where the pad's right click lands.
    InputEvent Translate(const InputEvent& event);

private:
    int m_pointerX = 0;
    int m_pointerY = 0;
};

}  // namespace kelva
