#include "core/ChoiceMenuView.h"

#include <algorithm>

#include "core/MessageLayout.h"
#include "data/ShiftJis.h"
#include "graphics/RunCommon.h"

namespace kelva {

void ChoiceMenuView::Reset()
{
    m_drawn = false;
    m_choices.clear();
    m_highlighted = kNone;
}

bool ChoiceMenuView::ShowBand(int line, int height, const TNkDIB& from, TNkDIB& screen) const
{
    const int y = kMessageArea.Top + line * m_lineStep;
    const int top = std::max(0, y - m_lineStep / 8);
    const int bottom = std::min(kStageHeight - 1, y - m_lineStep / 8 + height + m_lineStep / 4);
    if (top > bottom) return false;
    CopyRect(from, screen, TRect{0, top, kStageWidth - 1, bottom});
    return true;
}

void ChoiceMenuView::Draw(std::vector<MenuChoice> choices, TAntiAliasTextout& text, StageImages& stage,
                          TColor tint, int charHeight)
{
    m_drawn = true;
    m_highlighted = -1;  // the first hover draws every band
    m_choices = std::move(choices);
    m_charHeight = charHeight;
    m_lineStep = LineStep(charHeight);
    const int count = static_cast<int>(m_choices.size());
    stage.HighlightImage.Assign(stage.StageImage);
    Tint(stage.Blend, stage.HighlightImage, TRect{0, 0, kStageWidth, kMessageArea.Top + count * m_lineStep},
         tint, 40);
    for (int i = 0; i < count; ++i) {
        const std::string& caption = m_choices[static_cast<size_t>(i)].Caption;
        for (TNkDIB* target : {&stage.StageImage, &stage.HighlightImage}) {
            text.Target = target;
            int x = kMessageArea.Left;
            const int y = kMessageArea.Top + i * m_lineStep;
            for (size_t at = 0; at < caption.size();) {
                const std::string_view character(caption.data() + at, SjisCharLength(caption, at));
                text.DrawText(x, y, character);
                x += text.MeasureText(character).X;
                at += character.size();
            }
        }
        ShowBand(i, m_charHeight, stage.StageImage, stage.ScreenImage);
    }
}

int ChoiceMenuView::LineAt(int y) const
{
    // A line's band starts a sixth of a step above its text.
    const int offset = m_lineStep / 6 + y - kMessageArea.Top;
    return offset < 0 ? -1 : offset / m_lineStep;
}

int ChoiceMenuView::RowOf(int line) const
{
    return kMessageArea.Top + line * m_lineStep;
}

const MenuChoice* ChoiceMenuView::ChoiceAt(int y) const
{
    const int line = LineAt(y);
    if (line < 0 || line >= static_cast<int>(m_choices.size())) return nullptr;
    return &m_choices[static_cast<size_t>(line)];
}

bool ChoiceMenuView::Hover(int y, StageImages& stage)
{
    int hovered = LineAt(y);
    if (hovered < 0) hovered = kNone;
    if (hovered == m_highlighted) return false;
    bool shown = false;
    const int count = static_cast<int>(m_choices.size());
    for (int i = 0; i < count; ++i) {
        if (i != hovered && i != m_highlighted && m_highlighted >= 0) continue;
        shown |= ShowBand(i, m_charHeight + 1, i == hovered ? stage.HighlightImage : stage.StageImage,
                          stage.ScreenImage);
    }
    m_highlighted = hovered;
    return shown;
}

}  // namespace kelva
