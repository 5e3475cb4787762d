// A push button: a raised face with a centred caption that sinks while it is pressed.
// A click (press and release on it), Space while it has the focus, or Enter (when it has
// the focus, or when it is its window's default button) calls OnClick. The button Enter
// would press wears a black frame: the focused one, else the default one.
#pragma once

#include <string>

#include "graphics/AntiAliasTextout.h"
#include "ui/WinControl.h"

namespace kelva {

class TButton final : public TWinControl {
public:
    explicit TButton(FontRasteriser& fonts);

    std::string Caption;  // CP932
    bool Default = false;

    void Click();
    bool KeyDown(Key key) override;
    void MouseDown(MouseButton button, int x, int y, int clicks) override;
    void MouseUp(MouseButton button, int x, int y) override;
    void MouseDrag(int x, int y) override;
    void Paint(TNkDIB& client) override;

private:
    friend class DialogWindow;
    TAntiAliasTextout m_text;
    bool m_focusOnAButton = false;  // its window's focus is on a button, this or another
    bool m_held = false;            // the left button went down on it and is held
    bool m_pressed = false;         // held with the pointer over it: drawn sunk
};

}  // namespace kelva
