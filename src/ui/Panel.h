// A strip of a window that holds other controls. Panels are stacked from the window's top
// in a given order, each spanning the window's width; a hidden panel takes no room, and
// what it holds moves, shows and hides with it.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "ui/Controls.h"

namespace kelva {

class TPanel final : public TControl {
public:
    explicit TPanel(int height) : m_height(height) {}

    TColor Color = MakeColor(255, 255, 255);
    int Height() const { return m_height; }

    // `control` sits with its top-left corner at `at` inside the panel, keeping its size.
    // The window adds it after the panel, so it is drawn over the panel's background.
    void Insert(TControl& control, TPoint at) { m_held.emplace_back(&control, at); }
    void Paint(TNkDIB& client) override { client.FillRect(Bounds, Color); }

private:
    friend int StackPanels(std::initializer_list<TPanel*> panels, int width);
    // Puts the panel's top at `top`, `width` wide, and its controls with it.
    void Place(int top, int width);

    int m_height;
    std::vector<std::pair<TControl*, TPoint>> m_held;
};

// Stacks the visible panels from the top in the order given, each `width` wide; returns
// the height they take together.
int StackPanels(std::initializer_list<TPanel*> panels, int width);

}  // namespace kelva
