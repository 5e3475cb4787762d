// Which rows of a list longer than its view are shown: the first one shown, kept between
// the list's start and the last place where the view is still full.
#pragma once

#include <algorithm>

namespace kelva {

class RowScroll {
public:
    // `total` rows seen `visible` at a time (at least one); the view goes to the end.
    void Reset(int total, int visible)
    {
        m_total = std::max(0, total);
        m_visible = std::max(1, visible);
        m_top = MaxTop();
    }
    // Moves the view by `rows`, positive towards the end, stopping at either end.
    void ScrollBy(int rows) { m_top = std::clamp(m_top + rows, 0, MaxTop()); }

    int Top() const { return m_top; }
    int Total() const { return m_total; }
    int Visible() const { return m_visible; }
    // A view turned a page moves by this much: a page less one row, which stays in sight.
    int PageRows() const { return std::max(1, m_visible - 1); }
    bool AtEnd() const { return m_top >= MaxTop(); }
    int MaxTop() const { return std::max(0, m_total - m_visible); }

private:
    int m_total = 0;
    int m_visible = 1;
    int m_top = 0;
};

}  // namespace kelva
