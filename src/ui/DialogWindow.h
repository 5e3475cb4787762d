// A dialog window drawn over the stage: a client area at a place in stage pixels, a
// background colour, child controls, a shape, a caption and a modal result. Windows are
// shown, stacked and given the focus by the window layer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "graphics/NkDIB.h"
#include "platform/Keys.h"
#include "ui/Controls.h"
#include "ui/FormRgn.h"
#include "ui/WinControl.h"

namespace kelva {

class WindowLayer;

class DialogWindow {
public:
    DialogWindow(int clientWidth, int clientHeight);
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    TPoint Position;  // the client area's top-left corner, stage pixels
    int Width;        // 0 hides the window while it stays open
    int Height;
    TColor Color = MakeColor(255, 255, 255);
    std::string Caption;  // CP932
    TFormRgn Shape;       // starts disabled: rectangular
    int ModalResult = 0;
    // Dragging this control (the drawn title bar) moves the window.
    TControl* DragHandle = nullptr;
    // Losing the focus while shown gives it straight back (a dialog awaiting an answer).
    bool TakesFocusBack = false;

    bool Visible() const { return m_layer != nullptr; }
    bool Active() const { return m_active; }
    // Controls are drawn in the order added; the last added is on top and gets the mouse.
    void Add(TControl& control) { m_controls.push_back(&control); }
    // Asks for the window to be drawn again.
    void Invalidate();

    // The control with the window's keyboard focus, or nullptr.
    TWinControl* ActiveControl() const { return m_activeControl; }
    // Moves the focus to one of the window's controls (or to none); the control that had
    // it is left first.
    void SetActiveControl(TWinControl* control);
    // Typed text and wheel steps, for the active control.
    void TextInput(std::string_view text);
    void MouseWheel(int steps);
    // Whether the active control takes typed text.
    bool WantsText() const;

    // Whether stage pixel (x, y) is on the window: inside its shape.
    bool HitTest(int x, int y) const;
    // The topmost visible control at stage pixel (x, y), or nullptr.
    TControl* ControlAt(int x, int y) const;
    // Draws the window onto the frame, inside its shape only.
    void PaintOnto(TNkDIB& frame);

    // The window got or lost the focus.
    virtual void Activated() {}
    virtual void Deactivated() {}
    // A key while the window has the focus; false lets it go on to the stage. Enter
    // presses the focused button, or else the window's default button (TButton::Default);
    // other keys go to the active control.
    virtual bool KeyDown(Key key);
    // Called on every turn of the loop that waits for this window's modal answer.
    virtual void Idle() {}

private:
    friend class WindowLayer;
    WindowLayer* m_layer = nullptr;
    bool m_active = false;
    std::vector<TControl*> m_controls;
    TWinControl* m_activeControl = nullptr;
    TNkDIB m_client;
};

}  // namespace kelva
