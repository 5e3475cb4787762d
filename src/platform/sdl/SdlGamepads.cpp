#include "platform/sdl/SdlGamepads.h"

namespace kelva {

namespace {

std::optional<PadButton> TranslateButton(uint8_t button)
{
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A:
            return PadButton::A;
        case SDL_CONTROLLER_BUTTON_B:
            return PadButton::B;
        case SDL_CONTROLLER_BUTTON_X:
            return PadButton::X;
        case SDL_CONTROLLER_BUTTON_Y:
            return PadButton::Y;
        case SDL_CONTROLLER_BUTTON_BACK:
            return PadButton::Back;
        case SDL_CONTROLLER_BUTTON_START:
            return PadButton::Start;
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
            return PadButton::LeftShoulder;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
            return PadButton::RightShoulder;
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return PadButton::DpadUp;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return PadButton::DpadDown;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return PadButton::DpadLeft;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return PadButton::DpadRight;
        default:
            return std::nullopt;
    }
}

}  // namespace

SdlGamepads::~SdlGamepads()
{
    for (const auto& [id, controller] : m_open) SDL_GameControllerClose(controller);
    if (m_started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool SdlGamepads::Start()
{
    if (m_tried) return m_started;
    m_tried = true;
    m_started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!m_started) return false;
    // Sticks, triggers and sensors would only wake the stage's loop for nothing. (The
    // joystick's own events must stay on: SDL makes the controller's from them.)
    for (const Uint32 type :
         {SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERTOUCHPADMOTION, SDL_CONTROLLERSENSORUPDATE}) {
        SDL_EventState(type, SDL_IGNORE);
    }
    return true;
}

std::optional<InputEvent> SdlGamepads::Translate(const SDL_Event& event)
{
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            // Added carries the device's index; the rest its instance id.
            if (SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which)) {
                const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
                if (!m_open.emplace(id, controller).second) SDL_GameControllerClose(controller);
            }
            return std::nullopt;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (const auto open = m_open.find(event.cdevice.which); open != m_open.end()) {
                SDL_GameControllerClose(open->second);
                m_open.erase(open);
            }
            return std::nullopt;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const std::optional<PadButton> button = TranslateButton(event.cbutton.button);
            if (!button) return std::nullopt;
            InputEvent input;
            input.type =
                event.type == SDL_CONTROLLERBUTTONDOWN ? InputEvent::Type::PadDown : InputEvent::Type::PadUp;
            input.pad = *button;
            return input;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace kelva
