#include "ui/HeaderControl.h"

#include <algorithm>

#include "ui/ControlLook.h"

namespace kelva {

namespace {
// How near an edge, in pixels either side, a press takes the edge rather than the section.
constexpr int kEdgeReach = 2;
}  // namespace

THeaderControl::THeaderControl(FontRasteriser& fonts) : m_text(fonts)
{
    PrepareControlText(m_text);
}

int THeaderControl::SectionLeft(int index) const
{
    int left = 0;
    for (int i = 0; i < index && i < static_cast<int>(Sections.size()); ++i) left += Sections[i].Width;
    return left;
}

int THeaderControl::EdgeAt(int x) const
{
    for (int i = static_cast<int>(Sections.size()) - 1; i >= 0; --i) {
        const int edge = SectionLeft(i + 1);
        if (x >= edge - kEdgeReach && x <= edge + kEdgeReach) return i;
    }
    return -1;
}

int THeaderControl::SectionAt(int x) const
{
    for (int i = 0; i < static_cast<int>(Sections.size()); ++i) {
        if (x >= SectionLeft(i) && x < SectionLeft(i + 1)) return i;
    }
    return -1;
}

void THeaderControl::MouseDown(MouseButton button, int x, int, int)
{
    if (button != MouseButton::Left) return;
    const int local = x - Bounds.Left;
    m_resized = EdgeAt(local);
    if (m_resized >= 0) return;
    m_held = SectionAt(local);
    if (m_held >= 0 && !Sections[m_held].AllowClick) m_held = -1;
    m_pressed = m_held >= 0;
}

void THeaderControl::MouseDrag(int x, int y)
{
    const int local = x - Bounds.Left;
    if (m_resized >= 0) {
        THeaderSection& section = Sections[m_resized];
        section.Width = std::max(section.MinWidth, local - SectionLeft(m_resized));
        return;
    }
    m_pressed = m_held >= 0 && Bounds.Contains(x, y) && SectionAt(local) == m_held;
}

void THeaderControl::MouseUp(MouseButton, int, int)
{
    const int clicked = m_pressed ? m_held : -1;
    m_resized = m_held = -1;
    m_pressed = false;
    if (clicked >= 0 && OnSectionClick) OnSectionClick(clicked);
}

void THeaderControl::Paint(TNkDIB& client)
{
    client.FillRect(Bounds, kFaceColour);
    m_text.Target = &client;
    for (int i = 0; i < static_cast<int>(Sections.size()); ++i) {
        const int left = Bounds.Left + SectionLeft(i);
        if (left >= Bounds.Right) break;
        const TRect box{left, Bounds.Top, std::min(left + Sections[i].Width, Bounds.Right), Bounds.Bottom};
        const bool sunk = m_pressed && m_held == i;
        if (sunk) {
            DrawEdge(client, box, kShadowColour, kShadowColour);
        } else {
            DrawEdge(client, box, kLightColour, kDarkShadowColour);
            DrawEdge(client, TRect{box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1}, kFaceColour,
                     kShadowColour);
        }
        const int shift = sunk ? 1 : 0;
        const int textHeight = m_text.MeasureText(Sections[i].Text).Y;
        DrawTextClipped(m_text, client, TRect{box.Left + 2, box.Top + 1, box.Right - 2, box.Bottom - 1},
                        box.Left + 4 + shift, box.Top + (box.Height() - textHeight) / 2 + shift,
                        Sections[i].Text);
    }
}

}  // namespace kelva
