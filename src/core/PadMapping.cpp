#include "core/PadMapping.h"

namespace kelva {

namespace {

bool IsMouseEvent(InputEvent::Type type)
{
    return type == InputEvent::Type::MouseMove || type == InputEvent::Type::MouseDown ||
           type == InputEvent::Type::MouseUp;
}

// The key a button stands for; Key::Unknown for the right-click buttons and those without a meaning.
Key KeyFor(PadButton button)
{
    switch (button) {
        case PadButton::A:
            return Key::Return;
        case PadButton::Back:
            return Key::Escape;
        case PadButton::RightShoulder:
            return Key::Ctrl;
        case PadButton::LeftShoulder:
            return Key::PageUp;
        case PadButton::DpadUp:
            return Key::Up;
        case PadButton::DpadDown:
            return Key::Down;
        case PadButton::DpadLeft:
            return Key::Left;
        case PadButton::DpadRight:
            return Key::Right;
        default:
            return Key::Unknown;
    }
}

}  // namespace

InputEvent PadMapping::Translate(const InputEvent& event)
{
    if (IsMouseEvent(event.type)) {
        m_pointerX = event.x;
        m_pointerY = event.y;
        return event;
    }
    if (event.type != InputEvent::Type::PadDown && event.type != InputEvent::Type::PadUp) return event;
    const bool down = event.type == InputEvent::Type::PadDown;
    InputEvent mapped;
    if (event.pad == PadButton::B || event.pad == PadButton::Start) {
        mapped.type = down ? InputEvent::Type::MouseDown : InputEvent::Type::MouseUp;
        mapped.button = MouseButton::Right;
        mapped.x = m_pointerX;
        mapped.y = m_pointerY;
        return mapped;
    }
    mapped.key = KeyFor(event.pad);
    if (mapped.key == Key::Unknown) return event;
    mapped.type = down ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp;
    // As the keyboard reports it: Ctrl's own press has the Ctrl flag, its release not.
    mapped.ctrl = down && mapped.key == Key::Ctrl;
    return mapped;
}

}  // namespace kelva
