#include "ui/DialogWindow.h"

#include <algorithm>
#include <cstring>

#include "ui/Button.h"
#include "ui/WindowLayer.h"

namespace kelva {

DialogWindow::DialogWindow(int clientWidth, int clientHeight) : Width(clientWidth), Height(clientHeight)
{
    Shape.SetEnable(false);
}

DialogWindow::~DialogWindow()
{
    if (m_layer) m_layer->Detach(*this, false);
}

void DialogWindow::Invalidate()
{
    if (m_layer) m_layer->Changed();
}

void DialogWindow::SetActiveControl(TWinControl* control)
{
    if (control == m_activeControl) return;
    if (TWinControl* previous = std::exchange(m_activeControl, nullptr)) {
        previous->m_focused = false;
        previous->Exit();
    }
    m_activeControl = control;
    if (control) {
        control->m_focused = true;
        control->Enter();
    }
    // Enter presses a focused button rather than the default one, which shows it.
    const bool onAButton = dynamic_cast<TButton*>(control) != nullptr;
    for (TControl* each : m_controls) {
        if (auto* button = dynamic_cast<TButton*>(each)) button->m_focusOnAButton = onAButton;
    }
    Invalidate();
}

bool DialogWindow::KeyDown(Key key)
{
    if (key == Key::Return) {
        TButton* pressed = dynamic_cast<TButton*>(m_activeControl);
        for (auto control = m_controls.begin(); !pressed && control != m_controls.end(); ++control) {
            auto* button = dynamic_cast<TButton*>(*control);
            if (button && button->Default) pressed = button;
        }
        if (pressed && pressed->Enabled) {
            pressed->Click();
            return true;
        }
    }
    if (!m_activeControl || !m_activeControl->Enabled || !m_activeControl->KeyDown(key)) return false;
    Invalidate();
    return true;
}

void DialogWindow::TextInput(std::string_view text)
{
    if (!m_activeControl || !m_activeControl->Enabled) return;
    m_activeControl->TextInput(text);
    Invalidate();
}

void DialogWindow::MouseWheel(int steps)
{
    if (!m_activeControl || !m_activeControl->Enabled) return;
    m_activeControl->MouseWheel(steps);
    Invalidate();
}

bool DialogWindow::WantsText() const
{
    return m_activeControl && m_activeControl->Enabled && m_activeControl->WantsText();
}

bool DialogWindow::HitTest(int x, int y) const
{
    if (Width <= 0 || Height <= 0) return false;
    return Shape.Contains(x - Position.X, y - Position.Y, Width, Height);
}

TControl* DialogWindow::ControlAt(int x, int y) const
{
    const int cx = x - Position.X;
    const int cy = y - Position.Y;
    for (auto control = m_controls.rbegin(); control != m_controls.rend(); ++control) {
        if ((*control)->Visible && (*control)->Bounds.Contains(cx, cy)) return *control;
    }
    return nullptr;
}

void DialogWindow::PaintOnto(TNkDIB& frame)
{
    if (Width <= 0 || Height <= 0) return;
    if (m_client.Width() != Width || m_client.Height() != Height) m_client = TNkDIB(Width, Height, 24);
    m_client.FillRect(m_client.BoundsRect(), Color);
    for (TControl* control : m_controls) {
        if (control->Visible) control->Paint(m_client);
    }
    // Row by row, the part of each row inside the shape and on the frame.
    for (int y = 0; y < Height; ++y) {
        const int frameY = Position.Y + y;
        if (frameY < 0 || frameY >= frame.Height()) continue;
        auto [left, right] = Shape.RowSpan(y, Width, Height);
        left = std::max(left, -Position.X);
        right = std::min(right, frame.Width() - Position.X);
        if (left >= right) continue;
        std::memcpy(frame.ScanLine(frameY) + static_cast<size_t>(Position.X + left) * 3,
                    m_client.ScanLine(y) + static_cast<size_t>(left) * 3,
                    static_cast<size_t>(right - left) * 3);
    }
}

}  // namespace kelva
