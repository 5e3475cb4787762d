// Input events as the window layer and the stage receive them, made in one line.
#pragma once

#include "platform/Window.h"

namespace kelva::test {

inline InputEvent Event(InputEvent::Type type, int x = 0, int y = 0)
{
    InputEvent event;
    event.type = type;
    event.x = x;
    event.y = y;
    return event;
}

}  // namespace kelva::test
