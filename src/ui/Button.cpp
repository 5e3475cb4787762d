#include "ui/Button.h"

#include "ui/ControlLook.h"

namespace kelva {

TButton::TButton(FontRasteriser& fonts) : m_text(fonts)
{
    PrepareControlText(m_text);
}

void TButton::Click()
{
    if (OnClick) OnClick(*this);
}

bool TButton::KeyDown(Key key)
{
    if (key != Key::Space) return false;
    Click();
    return true;
}

void TButton::MouseDown(MouseButton button, int, int, int)
{
    m_held = m_pressed = button == MouseButton::Left;
}

void TButton::MouseUp(MouseButton, int, int)
{
    m_held = m_pressed = false;
}

void TButton::MouseDrag(int x, int y)
{
    m_pressed = m_held && Bounds.Contains(x, y);
}

void TButton::Paint(TNkDIB& client)
{
    client.FillRect(Bounds, kFaceColour);
    TRect face = Bounds;
    if (Focused() || (Default && !m_focusOnAButton)) {
        DrawEdge(client, face, kTextColour, kTextColour);
        face = TRect{face.Left + 1, face.Top + 1, face.Right - 1, face.Bottom - 1};
    }
    if (m_pressed) {
        DrawEdge(client, face, kShadowColour, kShadowColour);
    } else {
        DrawRaisedEdge(client, face);
    }
    m_text.Target = &client;
    const TPoint size = m_text.MeasureText(Caption);
    const int shift = m_pressed ? 1 : 0;
    const int x = Bounds.Left + (Bounds.Width() - size.X) / 2 + shift;
    const int y = Bounds.Top + (Bounds.Height() - size.Y) / 2 + shift;
    if (Enabled) {
        m_text.DrawText(x, y, Caption);
    } else {
        DrawDisabledText(m_text, client, x, y, Caption);
    }
    if (Focused())
        DrawFocusFrame(client, TRect{face.Left + 3, face.Top + 3, face.Right - 3, face.Bottom - 3});
}

}  // namespace kelva
