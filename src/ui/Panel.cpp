#include "ui/Panel.h"

namespace kelva {

void TPanel::Place(int top, int width)
{
    Bounds = TRect::Bounds(0, top, width, m_height);
    for (auto& [control, at] : m_held) {
        control->Bounds = TRect::Bounds(at.X, top + at.Y, control->Bounds.Width(), control->Bounds.Height());
        control->Visible = Visible;
    }
}

int StackPanels(std::initializer_list<TPanel*> panels, int width)
{
    int top = 0;
    for (TPanel* panel : panels) {
        // A hidden panel still takes its controls away with it, at no height.
        panel->Place(top, width);
        if (panel->Visible) top += panel->Height();
    }
    return top;
}

}  // namespace kelva
