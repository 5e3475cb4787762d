#include "debug/UDNumeralEdit.h"

#include <algorithm>
#include <limits>

#include "data/ShiftJis.h"
#include "ui/ControlLook.h"

namespace kelva {

namespace {

constexpr int kEdge = 2;

size_t PreviousCharStart(std::string_view text, size_t at)
{
    size_t start = 0;
    for (size_t i = 0; i < at; i += SjisCharLength(text, i)) start = i;
    return start;
}

bool MayBeTyped(std::string_view character)
{
    return character.size() == 1 && ((character[0] >= '0' && character[0] <= '9') || character[0] == '-');
}

}  // namespace

int32_t NumeralTextValue(std::string_view text, int32_t previous, int32_t min, int32_t max)
{
    const bool negative = text.starts_with("-") || text.starts_with("－");
    constexpr uint64_t kBeyond = uint64_t{1} << 31;  // the first magnitude no sign lets through
    uint64_t magnitude = 0;
    bool digits = false;
    for (const char c : text) {
        if (c < '0' || c > '9') continue;
        digits = true;
        magnitude = std::min(magnitude * 10 + static_cast<uint64_t>(c - '0'), kBeyond + 1);
    }
    if (!digits) return previous;
    if (magnitude > kBeyond || (magnitude == kBeyond && !negative)) return negative ? min : max;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                         : static_cast<int64_t>(magnitude));
}

TUDNumeralEdit::TUDNumeralEdit(FontRasteriser& fonts) : m_renderer(fonts)
{
    PrepareControlText(m_renderer);
    Show();
}

void TUDNumeralEdit::SetNValue(int32_t value)
{
    m_value = std::clamp(value, m_min, m_max);
    Show();
}

void TUDNumeralEdit::SetMin(int32_t value)
{
    value = std::min(value, m_max);
    if (value == m_min) return;
    m_min = value;
    if (m_value < m_min) SetNValue(m_min);
}

void TUDNumeralEdit::SetMax(int32_t value)
{
    value = std::max(value, m_min);
    if (value == m_max) return;
    m_max = value;
    if (m_value > m_max) SetNValue(m_max);
}

void TUDNumeralEdit::SetRange(int32_t min, int32_t max)
{
    // Raising Min above the old Max would be held down to it: move Max out of the way first.
    if (min > m_max) {
        SetMax(max);
        SetMin(min);
    } else {
        SetMin(min);
        SetMax(max);
    }
}

bool TUDNumeralEdit::UpEnabled() const
{
    return Enabled && m_min != m_max && m_value < m_max;
}

bool TUDNumeralEdit::DownEnabled() const
{
    return Enabled && m_min != m_max && m_value > m_min;
}

void TUDNumeralEdit::Commit()
{
    SetNValue(NumeralTextValue(m_text, m_value, m_min, m_max));
}

void TUDNumeralEdit::Step(int direction)
{
    Commit();
    // Stepping stops at the ends of the range.
    const int64_t next = int64_t{m_value} + int64_t{direction} * Increment;
    SetNValue(static_cast<int32_t>(std::clamp<int64_t>(next, m_min, m_max)));
}

void TUDNumeralEdit::Show()
{
    m_text = std::to_string(m_value);
    SelectAll();
}

void TUDNumeralEdit::SelectAll()
{
    m_anchor = 0;
    m_caret = m_text.size();
}

void TUDNumeralEdit::Replace(std::string_view text)
{
    const size_t from = std::min(m_anchor, m_caret);
    const size_t to = std::max(m_anchor, m_caret);
    m_text.replace(from, to - from, text);
    m_caret = m_anchor = from + text.size();
}

bool TUDNumeralEdit::KeyDown(Key key)
{
    switch (key) {
        case Key::Up:
            if (UpEnabled()) Step(1);
            return true;
        case Key::Down:
            if (DownEnabled()) Step(-1);
            return true;
        case Key::Return:
            Commit();
            return true;
        case Key::Backspace:
            if (m_anchor == m_caret && m_caret > 0) m_anchor = PreviousCharStart(m_text, m_caret);
            Replace({});
            return true;
        case Key::Delete:
            if (m_anchor == m_caret && m_caret < m_text.size())
                m_anchor = m_caret + SjisCharLength(m_text, m_caret);
            Replace({});
            return true;
        case Key::Left:
            m_caret = m_anchor = m_caret > 0 ? PreviousCharStart(m_text, m_caret) : 0;
            return true;
        case Key::Right:
            if (m_caret < m_text.size()) m_caret += SjisCharLength(m_text, m_caret);
            m_anchor = m_caret;
            return true;
        case Key::Home:
            m_caret = m_anchor = 0;
            return true;
        case Key::End:
            m_caret = m_anchor = m_text.size();
            return true;
        default:
            return false;
    }
}

void TUDNumeralEdit::TextInput(std::string_view text)
{
    std::string typed;
    for (size_t i = 0; i < text.size();) {
        const size_t length = SjisCharLength(text, i);
        const std::string_view character = text.substr(i, length);
        if (!KeyCheck || MayBeTyped(character)) typed += character;
        i += length;
    }
    if (!typed.empty()) Replace(typed);
}

TRect TUDNumeralEdit::TextRect() const
{
    return TRect{Bounds.Left + kEdge, Bounds.Top + kEdge, Bounds.Right - kEdge - BtnWidth,
                 Bounds.Bottom - kEdge};
}

TRect TUDNumeralEdit::ButtonRect(bool up) const
{
    const int left = Bounds.Right - kEdge - BtnWidth;
    const int middle = (Bounds.Top + Bounds.Bottom) / 2;
    return up ? TRect{left, Bounds.Top + kEdge, Bounds.Right - kEdge, middle}
              : TRect{left, middle, Bounds.Right - kEdge, Bounds.Bottom - kEdge};
}

int TUDNumeralEdit::TextLeft() const
{
    return TextRect().Right - 2 - m_renderer.MeasureText(m_text).X;
}

size_t TUDNumeralEdit::CaretAt(int x) const
{
    size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t at = 0;; at += SjisCharLength(m_text, at)) {
        const int edge = TextLeft() + (at == 0 ? 0 : m_renderer.MeasureText(m_text.substr(0, at)).X);
        if (std::abs(edge - x) < bestDistance) {
            bestDistance = std::abs(edge - x);
            best = at;
        }
        if (at >= m_text.size()) return best;
    }
}

void TUDNumeralEdit::MouseDown(MouseButton button, int x, int y, int)
{
    if (button != MouseButton::Left) return;
    if (ButtonRect(true).Contains(x, y)) {
        m_held = 1;
        if (UpEnabled()) Step(1);
    } else if (ButtonRect(false).Contains(x, y)) {
        m_held = -1;
        if (DownEnabled()) Step(-1);
    } else {
        m_caret = m_anchor = CaretAt(x);
    }
}

void TUDNumeralEdit::MouseUp(MouseButton, int, int)
{
    m_held = 0;
}

void TUDNumeralEdit::Paint(TNkDIB& client)
{
    client.FillRect(Bounds, Enabled ? kFieldColour : kFaceColour);
    const TRect area = TextRect();
    const int top = area.Top + (area.Height() - m_renderer.MeasureText("0").Y) / 2;
    const int left = TextLeft();
    m_renderer.Target = &client;
    m_renderer.TextColor = Enabled ? kTextColour : kGreyTextColour;
    DrawTextClipped(m_renderer, client, area, left, top, m_text);
    if (Focused()) {
        // The selection in reverse colours, and the caret as a one-pixel bar.
        const size_t from = std::min(m_anchor, m_caret);
        const size_t to = std::max(m_anchor, m_caret);
        const int x0 = left + m_renderer.MeasureText(m_text.substr(0, from)).X;
        const int x1 = left + m_renderer.MeasureText(m_text.substr(0, to)).X;
        if (from < to) {
            const TRect selection = TRect{x0, area.Top + 1, x1, area.Bottom - 1}.Intersect(area);
            client.FillRect(selection, kSelectionColour);
            m_renderer.TextColor = kSelectedTextColour;
            DrawTextClipped(m_renderer, client, selection, left, top, m_text);
        } else {
            client.FillRect(TRect{x0, area.Top + 1, x0 + 1, area.Bottom - 1}.Intersect(area), kTextColour);
        }
    }
    for (const bool up : {true, false}) {
        const TRect box = ButtonRect(up);
        const bool enabled = up ? UpEnabled() : DownEnabled();
        client.FillRect(box, kFaceColour);
        if (enabled && m_held == (up ? 1 : -1)) {
            DrawEdge(client, box, kShadowColour, kShadowColour);
        } else {
            DrawRaisedEdge(client, box);
        }
        const TPoint centre{box.Left + box.Width() / 2, box.Top + box.Height() / 2};
        if (!enabled) DrawArrow(client, {centre.X + 1, centre.Y + 1}, up, kLightColour);
        DrawArrow(client, centre, up, enabled ? kTextColour : kGreyTextColour);
    }
    DrawSunkenEdge(client, Bounds);
}

}  // namespace kelva
