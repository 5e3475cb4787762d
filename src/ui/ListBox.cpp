#include "ui/ListBox.h"

#include <algorithm>

#include "ui/ControlLook.h"

namespace kelva {

namespace {
constexpr int kMinThumb = 8;
}  // namespace

TListBox::TListBox(FontRasteriser& fonts) : m_text(fonts)
{
    PrepareControlText(m_text);
}

void TListBox::AddItem(std::string_view text)
{
    m_items.emplace_back(text);
}

void TListBox::DeleteItem(int index)
{
    if (index < 0 || index >= Count()) return;
    m_items.erase(m_items.begin() + index);
    if (m_itemIndex == index) {
        m_itemIndex = -1;
    } else if (m_itemIndex > index) {
        --m_itemIndex;
    }
    m_topIndex = std::clamp(m_topIndex, 0, MaxTopIndex());
}

TRect TListBox::LinesRect() const
{
    const int edge = Border ? 2 : 0;
    TRect lines{Bounds.Left + edge, Bounds.Top + edge, Bounds.Right - edge, Bounds.Bottom - edge};
    if (ScrollBarShown()) lines.Right -= kScrollBarWidth;
    return lines;
}

bool TListBox::ScrollBarShown() const
{
    // The lines don't all fit in the height inside the edge.
    const int edge = Border ? 2 : 0;
    return Count() * ItemHeight > Bounds.Height() - 2 * edge;
}

int TListBox::VisibleLines() const
{
    return std::max(1, LinesRect().Height() / std::max(1, ItemHeight));
}

int TListBox::MaxTopIndex() const
{
    return std::max(0, Count() - VisibleLines());
}

void TListBox::SetTopIndex(int index)
{
    m_topIndex = std::clamp(index, 0, MaxTopIndex());
}

void TListBox::SetItemIndex(int index)
{
    m_itemIndex = index >= 0 && index < Count() ? index : -1;
    if (m_itemIndex < 0) return;
    if (m_itemIndex < m_topIndex) SetTopIndex(m_itemIndex);
    if (m_itemIndex >= m_topIndex + VisibleLines()) SetTopIndex(m_itemIndex - VisibleLines() + 1);
}

void TListBox::Choose(int index)
{
    if (Count() == 0) return;
    index = std::clamp(index, 0, Count() - 1);
    if (index == m_itemIndex) return;
    SetItemIndex(index);
    if (OnSelect) OnSelect(*this);
}

bool TListBox::KeyDown(Key key)
{
    const int page = std::max(1, VisibleLines() - 1);
    switch (key) {
        case Key::Up:
            Choose(m_itemIndex < 0 ? 0 : m_itemIndex - 1);
            return true;
        case Key::Down:
            Choose(m_itemIndex + 1);
            return true;
        case Key::Home:
            Choose(0);
            return true;
        case Key::End:
            Choose(Count() - 1);
            return true;
        case Key::PageUp:
            Choose(m_itemIndex - page);
            return true;
        case Key::PageDown:
            Choose(std::max(m_itemIndex, 0) + page);
            return true;
        default:
            return false;
    }
}

void TListBox::MouseWheel(int steps)
{
    SetTopIndex(m_topIndex - steps * kWheelLines);
}

TRect TListBox::ScrollBarRect() const
{
    const TRect lines = LinesRect();
    return TRect{lines.Right, lines.Top, lines.Right + kScrollBarWidth, lines.Bottom};
}

TRect TListBox::ThumbRect() const
{
    const TRect bar = ScrollBarRect();
    const int track = bar.Height() - 2 * kScrollBarWidth;
    const int thumb =
        std::clamp(track * VisibleLines() / std::max(1, Count()), kMinThumb, std::max(kMinThumb, track));
    const int travel = std::max(0, track - thumb);
    const int top = MaxTopIndex() == 0 ? 0 : travel * m_topIndex / MaxTopIndex();
    return TRect::Bounds(bar.Left, bar.Top + kScrollBarWidth + top, kScrollBarWidth, thumb);
}

void TListBox::MouseDown(MouseButton button, int x, int y, int clicks)
{
    if (button != MouseButton::Left) return;
    const TRect lines = LinesRect();
    if (lines.Contains(x, y)) {
        const int index = m_topIndex + (y - lines.Top) / std::max(1, ItemHeight);
        if (index >= Count()) return;
        if (clicks >= 2) {
            if (OnDblClick) OnDblClick(*this);
            return;
        }
        SetItemIndex(index);
        if (OnSelect) OnSelect(*this);
        return;
    }
    if (!ScrollBarShown() || !ScrollBarRect().Contains(x, y)) return;
    const TRect bar = ScrollBarRect();
    const TRect thumb = ThumbRect();
    if (y < bar.Top + kScrollBarWidth) {
        SetTopIndex(m_topIndex - 1);
    } else if (y >= bar.Bottom - kScrollBarWidth) {
        SetTopIndex(m_topIndex + 1);
    } else if (y < thumb.Top) {
        SetTopIndex(m_topIndex - VisibleLines());
    } else if (y >= thumb.Bottom) {
        SetTopIndex(m_topIndex + VisibleLines());
    } else {
        m_draggingThumb = true;
        m_thumbGrab = y - thumb.Top;
    }
}

void TListBox::MouseDrag(int, int y)
{
    if (!m_draggingThumb) return;
    const TRect bar = ScrollBarRect();
    const TRect thumb = ThumbRect();
    const int travel = bar.Height() - 2 * kScrollBarWidth - thumb.Height();
    if (travel <= 0) return;
    const int offset = y - m_thumbGrab - (bar.Top + kScrollBarWidth);
    // The nearest top line to where the thumb is dragged.
    SetTopIndex((offset * MaxTopIndex() + travel / 2) / travel);
}

void TListBox::MouseUp(MouseButton, int, int)
{
    m_draggingThumb = false;
}

void TListBox::PaintScrollBar(TNkDIB& client) const
{
    const TRect bar = ScrollBarRect();
    // The track is stippled light and face, as a plain desktop draws it.
    for (int y = bar.Top; y < bar.Bottom; ++y) {
        for (int x = bar.Left; x < bar.Right; ++x) {
            client.SetPixel(x, y, ((x + y) & 1) ? kLightColour : kFaceColour);
        }
    }
    const TRect up = TRect::Bounds(bar.Left, bar.Top, kScrollBarWidth, kScrollBarWidth);
    const TRect down =
        TRect::Bounds(bar.Left, bar.Bottom - kScrollBarWidth, kScrollBarWidth, kScrollBarWidth);
    const TRect thumb = ThumbRect();
    for (const TRect& part : {up, down, thumb}) {
        client.FillRect(part, kFaceColour);
        DrawRaisedEdge(client, part);
    }
    DrawArrow(client, {up.Left + 7, up.Top + 7}, true, kTextColour);
    DrawArrow(client, {down.Left + 7, down.Top + 8}, false, kTextColour);
}

void TListBox::Paint(TNkDIB& client)
{
    client.FillRect(Bounds, kFieldColour);
    const TRect lines = LinesRect();
    if (!lines.IsEmpty()) {
        // Lines are drawn on a canvas the size of the line area, so none spills out.
        if (m_canvas.Width() != lines.Width() || m_canvas.Height() != lines.Height()) {
            m_canvas = TNkDIB(lines.Width(), lines.Height(), 24);
        }
        m_canvas.FillRect(m_canvas.BoundsRect(), kFieldColour);
        m_text.Target = &m_canvas;
        for (int index = m_topIndex; index < Count(); ++index) {
            const int top = (index - m_topIndex) * ItemHeight;
            if (top >= lines.Height()) break;
            const TRect rect{0, top, lines.Width(), top + ItemHeight};
            const bool selected = index == m_itemIndex;
            if (OnDrawItem) {
                OnDrawItem(m_canvas, index, rect, selected);
            } else {
                m_canvas.FillRect(rect, selected ? kSelectionColour : kFieldColour);
                m_text.TextColor = selected ? kSelectedTextColour : kTextColour;
                m_text.DrawText(rect.Left + 2, rect.Top, m_items[static_cast<size_t>(index)]);
            }
            if (selected && Focused()) DrawFocusFrame(m_canvas, rect);
        }
        client.CopyRect(lines, m_canvas, m_canvas.BoundsRect());
    }
    if (ScrollBarShown()) PaintScrollBar(client);
    if (Border) DrawSunkenEdge(client, Bounds);
}

}  // namespace kelva
