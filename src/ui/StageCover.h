// A window over the whole stage on a dimmed copy of the stage's picture: the story stays
// in sight, far back, under what the window shows. A mouse button pressed anywhere on it
// closes it (ModalResult kClosed); keys are each window's own.
#pragma once

#include "ui/DialogWindow.h"

namespace kelva {

class TStageCover : public DialogWindow {
public:
    static constexpr int kClosed = 1;

    TStageCover();

    // The background: `stage` (the stage's picture, 24 bits) dimmed.
    void Cover(const TNkDIB& stage);

protected:
    // Draws the window's own content over the dimmed stage.
    virtual void PaintContent(TNkDIB& client) = 0;
    // Wheel steps turned over the window, positive away from the reader.
    virtual void Wheel(int /*steps*/) {}

private:
    // The whole window: it has the focus (for the wheel) and takes every click.
    class Surface final : public TWinControl {
    public:
        explicit Surface(TStageCover& owner) : m_owner(owner) {}
        void Paint(TNkDIB& client) override;
        void MouseDown(MouseButton, int, int, int) override { m_owner.ModalResult = kClosed; }
        void MouseWheel(int steps) override { m_owner.Wheel(steps); }

    private:
        TStageCover& m_owner;
    };

    Surface m_surface;
    TNkDIB m_dimmed;
};

}  // namespace kelva
