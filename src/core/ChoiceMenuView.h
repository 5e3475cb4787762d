// The choice menu of a menu-link item as the stage shows it: the numbered captions typed
// over the stage picture, a tinted copy of it for the hover band, and which choice a
// stage row falls on. The band under the pointer shows the tinted copy.
#pragma once

#include <vector>

#include "core/StoryLinks.h"
#include "graphics/AntiAliasTextout.h"
#include "graphics/StageImages.h"

namespace kelva {

class ChoiceMenuView {
public:
    // Forgets the menu shown: the next one is drawn anew and highlights nothing.
    void Reset();
    bool Drawn() const { return m_drawn; }
    const std::vector<MenuChoice>& Choices() const { return m_choices; }

    // Draws the captions with `text` (its font, colour and smoothing as set) onto the
    // stage picture and onto its copy tinted with `tint` over the choices' rows, and
    // shows the plain lines on the screen. `charHeight` sets the line step.
    void Draw(std::vector<MenuChoice> choices, TAntiAliasTextout& text, StageImages& stage, TColor tint,
              int charHeight);
    // Moves the hover band to the line at stage row `y`; true when the screen changed.
    bool Hover(int y, StageImages& stage);
    // The line at stage row `y`, counting from 0 at the first choice; negative above it
    // and possibly past the last choice below.
    int LineAt(int y) const;
    // A stage row on line `line` (from 0 at the first choice).
    int RowOf(int line) const;
    // The choice at stage row `y`, or nullptr beside the choices.
    const MenuChoice* ChoiceAt(int y) const;

private:
    // Copies choice `line`'s band from `from` to the screen: the rows of its line with an
    // eighth of a line step above and a quarter below, the whole stage width. False when
    // the band lies outside the stage.
    bool ShowBand(int line, int height, const TNkDIB& from, TNkDIB& screen) const;

    // No line is highlighted; distinct from every line the pointer can be on.
    static constexpr int kNone = 65535;

    bool m_drawn = false;
    std::vector<MenuChoice> m_choices;
    int m_charHeight = 0;
    int m_lineStep = 1;
    int m_highlighted = kNone;
};

}  // namespace kelva
