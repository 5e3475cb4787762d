// A header control: a row of column headings over a list. A section's right edge can be
// dragged to resize it, never below its minimum width; a section that allows clicks sinks
// while pressed and reports the click.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "graphics/AntiAliasTextout.h"
#include "ui/Controls.h"

namespace kelva {

struct THeaderSection {
    std::string Text;  // CP932
    int Width = 50;
    int MinWidth = 0;
    bool AllowClick = true;
};

class THeaderControl final : public TControl {
public:
    explicit THeaderControl(FontRasteriser& fonts);

    std::vector<THeaderSection> Sections;
    // A section that allows clicks was clicked.
    std::function<void(int section)> OnSectionClick;

    // The left edge of section `index`, relative to the control.
    int SectionLeft(int index) const;

    void MouseDown(MouseButton button, int x, int y, int clicks) override;
    void MouseUp(MouseButton button, int x, int y) override;
    void MouseDrag(int x, int y) override;
    void Paint(TNkDIB& client) override;

private:
    // The section whose right edge lies within reach of control pixel x, or -1.
    int EdgeAt(int x) const;
    int SectionAt(int x) const;

    TAntiAliasTextout m_text;
    int m_resized = -1;  // the section being resized
    int m_held = -1;     // the section pressed
    bool m_pressed = false;
};

}  // namespace kelva
