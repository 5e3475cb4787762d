// The backlog: the text of earlier pages over a dimmed stage, in the story's font, oldest
// at the top and newest at the bottom, where it opens. Up and Down move it a row, PageUp
// and PageDown a view less a row, Home and End to either end, and the wheel a row a step;
// the wheel turned down at the end, Escape, Enter, Space or any click closes it. A rule
// parts the pages; a choice the reader chose is marked with an arrow.
#pragma once

#include <string>
#include <vector>

#include "graphics/AntiAliasTextout.h"
#include "ui/RowScroll.h"
#include "ui/StageCover.h"

namespace kelva {

struct BacklogLine {
    std::string Text;        // CP932
    bool Choice = false;     // a choice the reader chose
    bool PageStart = false;  // the first line of a page
};

class TBacklogForm final : public TStageCover {
public:
    explicit TBacklogForm(FontRasteriser& fonts);

    // The text's style; the owner gives it the story's font and colours.
    TAntiAliasTextout& Text() { return m_text; }
    // Over `stage`, the lines (oldest first) in `area`, each row `rowHeight` below the
    // last, as many as fit; the newest rows are shown. A line is cut into rows only where
    // it is wider than `area` and a character (punctuation may hang past the edge).
    void Prepare(const TNkDIB& stage, const std::vector<BacklogLine>& lines, const TRect& area,
                 int rowHeight);

    const RowScroll& Scroll() const { return m_scroll; }
    bool KeyDown(Key key) override;

private:
    struct Row {
        std::string Text;
        bool PageStart = false;  // a rule goes above it
    };

    void PaintContent(TNkDIB& client) override;
    void Wheel(int steps) override;
    void ScrollBy(int rows);
    void PaintScrollBar(TNkDIB& client) const;

    TAntiAliasTextout m_text;
    TAntiAliasTextout m_hint;
    std::vector<Row> m_rows;
    RowScroll m_scroll;
    TRect m_area;
    int m_rowHeight = 1;
};

}  // namespace kelva
