// The controls of dialog windows: pictures, hot pictures that change as the pointer
// crosses them, paint boxes drawn by their owner, and labels. Bounds are client pixels
// of the window; mouse handlers get stage pixels.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "graphics/AntiAliasTextout.h"
#include "graphics/NkDIB.h"
#include "platform/Window.h"

namespace kelva {

class TControl;
using TNotifyEvent = std::function<void(TControl& sender)>;
using TMouseEvent = std::function<void(TControl& sender, MouseButton button, int x, int y)>;

class TControl {
public:
    virtual ~TControl() = default;

    TRect Bounds;
    bool Visible = true;
    bool Enabled = true;  // a disabled control is drawn greyed and ignores the mouse
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseEvent OnMouseMove;  // the pointer moved over the control (button: Left)
    TNotifyEvent OnClick;     // a press and release of the left button on the control

    // Draws the control into its window's client picture.
    virtual void Paint(TNkDIB& client) = 0;
    // The pointer has come onto the control, or left it.
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    // The control's own answer to the mouse, before the handlers above; client pixels.
    // `clicks` is 2 for the second press of a double click.
    virtual void MouseDown(MouseButton, int /*x*/, int /*y*/, int /*clicks*/) {}
    virtual void MouseUp(MouseButton, int /*x*/, int /*y*/) {}
    // The pointer moved while the button pressed on this control is held, wherever it is.
    virtual void MouseDrag(int /*x*/, int /*y*/) {}
};

// A picture, drawn from the control's top-left corner or centred in it, clipped to it.
class TImage : public TControl {
public:
    TNkDIB Picture;
    bool Center = false;
    void Paint(TNkDIB& client) override;
};

// A picture that shows PictureOnEnter while the pointer is over it and PictureOnLeave
// after it has left. The picture is switched first, then the handler is called.
class THotImage : public TImage {
public:
    TNkDIB PictureOnEnter;
    TNkDIB PictureOnLeave;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    void MouseEnter() override;
    void MouseLeave() override;
};

// An area its owner paints, reporting the pointer entering and leaving it.
class THotPaintBox : public TControl {
public:
    std::function<void(TNkDIB& client, const TRect& bounds)> OnPaint;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    void Paint(TNkDIB& client) override;
    void MouseEnter() override;
    void MouseLeave() override;
};

// One line of text on the window's background, at the left or centred.
class TLabel : public TControl {
public:
    explicit TLabel(FontRasteriser& fonts);
    std::string Caption;  // CP932
    FontSpec Font;
    TColor Color = 0;
    std::optional<TColor> Background;  // filled over the bounds first; none: transparent
    bool Centered = false;
    void Paint(TNkDIB& client) override;

private:
    TAntiAliasTextout m_text;
};

}  // namespace kelva
