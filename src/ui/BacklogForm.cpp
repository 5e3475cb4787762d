#include "ui/BacklogForm.h"

#include <algorithm>

#include "graphics/TextRows.h"

namespace kelva {

namespace {

constexpr TColor kRuleColour = MakeColor(110, 110, 120);
constexpr TColor kHintColour = MakeColor(190, 190, 200);
constexpr TColor kTrackColour = MakeColor(70, 70, 80);
constexpr TColor kThumbColour = MakeColor(190, 190, 200);
constexpr int kScrollBarWidth = 4;
constexpr int kScrollBarRight = 8;  // from the stage's right edge
constexpr const char* kChoiceMark = "→ ";
constexpr const char* kHint =
    "バックログ　　ホイール・↑↓・PageUp・PageDown：スクロール　　クリック・Esc：もどる";

}  // namespace

TBacklogForm::TBacklogForm(FontRasteriser& fonts) : m_text(fonts), m_hint(fonts)
{
    Caption = "バックログ";
    m_hint.Font = FontSpec{kGothicFace, 12, false};
    m_hint.TextColor = kHintColour;
}

void TBacklogForm::Prepare(const TNkDIB& stage, const std::vector<BacklogLine>& lines, const TRect& area,
                           int rowHeight)
{
    Cover(stage);
    m_area = area;
    m_rowHeight = std::max(1, rowHeight);
    m_rows.clear();
    // The lines were cut to the message area as they were typed, with punctuation hanging
    // past its edge: only a line in a wider style needs cutting again.
    const int wrapWidth = area.Width() + m_text.MeasureText("あ").X;
    for (const BacklogLine& line : lines) {
        const std::string text = line.Choice ? kChoiceMark + line.Text : line.Text;
        bool first = true;
        for (std::string& row : WrapToWidth(m_text, text, wrapWidth)) {
            m_rows.push_back({std::move(row), line.PageStart && first});
            first = false;
        }
    }
    m_scroll.Reset(static_cast<int>(m_rows.size()), area.Height() / m_rowHeight);
    Invalidate();
}

bool TBacklogForm::KeyDown(Key key)
{
    switch (key) {
        case Key::Up:
            ScrollBy(-1);
            return true;
        case Key::Down:
            ScrollBy(1);
            return true;
        case Key::PageUp:
            ScrollBy(-m_scroll.PageRows());
            return true;
        case Key::PageDown:
            ScrollBy(m_scroll.PageRows());
            return true;
        case Key::Home:
            ScrollBy(-m_scroll.Total());
            return true;
        case Key::End:
            ScrollBy(m_scroll.Total());
            return true;
        case Key::Escape:
        case Key::Return:
        case Key::Space:
            ModalResult = kClosed;
            return true;
        default:
            return false;
    }
}

void TBacklogForm::Wheel(int steps)
{
    // Turned on down past the newest row, the wheel goes back to the story.
    if (steps < 0 && m_scroll.AtEnd()) {
        ModalResult = kClosed;
        return;
    }
    ScrollBy(-steps);
}

void TBacklogForm::ScrollBy(int rows)
{
    m_scroll.ScrollBy(rows);
    Invalidate();
}

void TBacklogForm::PaintContent(TNkDIB& client)
{
    m_hint.Target = &client;
    DrawCharacters(m_hint, m_area.Left, (m_area.Top - m_hint.MeasureText("あ").Y) / 2, kHint);
    m_text.Target = &client;
    const int last = std::min(m_scroll.Total(), m_scroll.Top() + m_scroll.Visible());
    for (int index = m_scroll.Top(); index < last; ++index) {
        const Row& row = m_rows[static_cast<size_t>(index)];
        const int y = m_area.Top + (index - m_scroll.Top()) * m_rowHeight;
        // The rule sits in the spacing below the row before.
        if (row.PageStart && index > 0) {
            const int ruleY = y - (m_rowHeight - m_text.MeasureText("あ").Y) / 2 - 1;
            client.FillRect(TRect{m_area.Left, ruleY, m_area.Right, ruleY + 1}, kRuleColour);
        }
        DrawCharacters(m_text, m_area.Left, y, row.Text);
    }
    PaintScrollBar(client);
}

void TBacklogForm::PaintScrollBar(TNkDIB& client) const
{
    if (m_scroll.Total() <= m_scroll.Visible()) return;
    const TRect track = TRect::Bounds(kStageWidth - kScrollBarRight - kScrollBarWidth, m_area.Top,
                                      kScrollBarWidth, m_area.Height());
    client.FillRect(track, kTrackColour);
    const int height = std::max(8, track.Height() * m_scroll.Visible() / m_scroll.Total());
    const int top = track.Top + (track.Height() - height) * m_scroll.Top() / std::max(1, m_scroll.MaxTop());
    client.FillRect(TRect{track.Left, top, track.Right, top + height}, kThumbColour);
}

}  // namespace kelva
