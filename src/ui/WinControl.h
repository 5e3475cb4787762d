// A control that can hold its window's keyboard focus: while it is the window's active
// control it gets the keys, the typed text and the mouse wheel.
#pragma once

#include <string_view>

#include "platform/Keys.h"
#include "ui/Controls.h"

namespace kelva {

class TWinControl : public TControl {
public:
    bool Focused() const { return m_focused; }

    // The focus came to the control, or left it (a value being typed is taken in then).
    virtual void Enter() {}
    virtual void Exit() {}
    // A key; false when the control has no use for it.
    virtual bool KeyDown(Key) { return false; }
    // Text typed while the control has the focus, CP932.
    virtual void TextInput(std::string_view) {}
    // Whether the platform's text entry is to be on while the control has the focus.
    virtual bool WantsText() const { return false; }
    // Wheel steps, positive away from the reader.
    virtual void MouseWheel(int /*steps*/) {}

private:
    friend class DialogWindow;
    bool m_focused = false;
};

}  // namespace kelva
