// The game controllers plugged in, opened as they come and closed as they go, and
// their buttons as pad events.
#pragma once

#include <SDL.h>

#include <map>
#include <optional>

#include "platform/Window.h"

namespace kelva {

class SdlGamepads {
public:
    SdlGamepads() = default;
    ~SdlGamepads();
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    // Starts SDL's game controller support, once: pads plugged in already then arrive as
    // added devices. Looking for them takes a while on some machines, so the window does
    // it only once the stage is showing. False when SDL has none.
    bool Start();
    // A button as a PadDown or PadUp; opens an added controller and closes a removed
    // one. nullopt for those and for any other event.
    std::optional<InputEvent> Translate(const SDL_Event& event);

private:
    bool m_tried = false;
    bool m_started = false;
    std::map<SDL_JoystickID, SDL_GameController*> m_open;
};

}  // namespace kelva
