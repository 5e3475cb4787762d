// A list box: lines of a fixed height, one of them selected, scrolled with a scroll bar
// when they don't all fit. The keyboard (Up, Down, Home, End, PageUp, PageDown) moves the
// selection and the wheel scrolls. Lines are drawn by the box (their text) or by their
// owner (OnDrawItem), always cut to the list's area.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/AntiAliasTextout.h"
#include "ui/WinControl.h"

namespace kelva {

class TListBox final : public TWinControl {
public:
    static constexpr int kScrollBarWidth = 16;
    static constexpr int kWheelLines = 3;

    explicit TListBox(FontRasteriser& fonts);

    int ItemHeight = 13;
    bool Border = true;  // a sunken two-pixel edge
    // Draws line `index` into `canvas` (the list's line area) at `rect`.
    std::function<void(TNkDIB& canvas, int index, const TRect& rect, bool selected)> OnDrawItem;
    // The reader chose a line: clicked one, or moved the selection with a key.
    TNotifyEvent OnSelect;
    // A double click on a line.
    TNotifyEvent OnDblClick;

    int Count() const { return static_cast<int>(m_items.size()); }
    void AddItem(std::string_view text);
    // Removes a line; the selection stays on the line it was on, or is gone with it.
    void DeleteItem(int index);

    // The selected line, -1 for none. Setting it scrolls the line into view.
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int index);
    // The first line shown.
    int TopIndex() const { return m_topIndex; }
    void SetTopIndex(int index);
    // Lines that fit whole; the line area; whether the scroll bar is shown.
    int VisibleLines() const;
    TRect LinesRect() const;
    bool ScrollBarShown() const;

    bool KeyDown(Key key) override;
    void MouseWheel(int steps) override;
    void MouseDown(MouseButton button, int x, int y, int clicks) override;
    void MouseUp(MouseButton button, int x, int y) override;
    void MouseDrag(int x, int y) override;
    void Paint(TNkDIB& client) override;

private:
    // The scroll bar's parts, window pixels.
    TRect ScrollBarRect() const;
    TRect ThumbRect() const;
    int MaxTopIndex() const;
    void Choose(int index);
    void PaintScrollBar(TNkDIB& client) const;

    TAntiAliasTextout m_text;
    std::vector<std::string> m_items;
    int m_itemIndex = -1;
    int m_topIndex = 0;
    TNkDIB m_canvas;
    bool m_draggingThumb = false;
    int m_thumbGrab = 0;  // where in the thumb it was grabbed
};

}  // namespace kelva
