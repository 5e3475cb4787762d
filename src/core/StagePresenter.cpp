#include "core/StagePresenter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kelva {

namespace {
// Presenting more often than the display refreshes only costs time.
constexpr int kPresentSpacingMs = 16;
constexpr int kBytesPerPixel = 3;
constexpr TRect kStageBounds{0, 0, kStageWidth, kStageHeight};

TRect Union(const TRect& a, const TRect& b)
{
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
}

void CopyArea(TNkDIB& to, const TNkDIB& from, const TRect& area)
{
    const size_t bytes = static_cast<size_t>(area.Width()) * kBytesPerPixel;
    for (int y = area.Top; y < area.Bottom; ++y) {
        std::memcpy(to.ScanLine(y) + area.Left * kBytesPerPixel,
                    from.ScanLine(y) + area.Left * kBytesPerPixel, bytes);
    }
}
}  // namespace

StagePresenter::StagePresenter(StageWindow& window, Clock& clock, const TNkDIB& screen)
    : m_window(window), m_clock(clock), m_screen(screen)
{
}

void StagePresenter::Start()
{
    m_started = true;
    m_shownValid = false;
    m_dirty = kStageBounds;
}

void StagePresenter::MarkChanged(const TRect& area)
{
    m_dirty = Union(m_dirty, area.Intersect(kStageBounds));
}

std::optional<int64_t> StagePresenter::DueMs() const
{
    // Before the window is shown nothing is due: waiting for it would only spin.
    if (m_dirty.IsEmpty() || !m_started) return std::nullopt;
    return m_lastPresent + kPresentSpacingMs;
}

TRect StagePresenter::ChangedPart(const TRect& area) const
{
    if (!m_shownValid) return area;
    const int left = area.Left * kBytesPerPixel;
    const size_t width = static_cast<size_t>(area.Width()) * kBytesPerPixel;
    const auto rowDiffers = [&](int y) {
        return std::memcmp(m_composed.ScanLine(y) + left, m_shown.ScanLine(y) + left, width) != 0;
    };
    int top = area.Top;
    while (top < area.Bottom && !rowDiffers(top)) ++top;
    if (top == area.Bottom) return {};
    int bottom = area.Bottom;
    while (!rowDiffers(bottom - 1)) --bottom;
    // Columns only within the rows that differ: a typed character or the key-wait icon
    // then goes to the window as its own small rectangle.
    int first = area.Right;
    int last = area.Left;
    for (int y = top; y < bottom; ++y) {
        const uint8_t* now = m_composed.ScanLine(y);
        const uint8_t* shown = m_shown.ScanLine(y);
        for (int x = area.Left; x < first; ++x) {
            if (std::memcmp(now + x * kBytesPerPixel, shown + x * kBytesPerPixel, kBytesPerPixel) != 0) {
                first = x;
                break;
            }
        }
        for (int x = area.Right - 1; x >= std::max(first, last + 1); --x) {
            if (std::memcmp(now + x * kBytesPerPixel, shown + x * kBytesPerPixel, kBytesPerPixel) != 0) {
                last = x;
                break;
            }
        }
    }
    return {first, top, last + 1, bottom};
}

const TNkDIB* StagePresenter::ShownPicture()
{
    Flush(true);
    return m_shownValid ? &m_shown : nullptr;
}

void StagePresenter::Flush(bool force)
{
    if (m_dirty.IsEmpty() || !m_started) return;
    const int64_t now = m_clock.NowMs();
    if (!force && now - m_lastPresent < kPresentSpacingMs) return;
    if (m_composed.IsEmpty()) {
        m_composed = TNkDIB(kStageWidth, kStageHeight, 24);
        m_shown = TNkDIB(kStageWidth, kStageHeight, 24);
    }
    // Only the dirty area is taken afresh from the screen. The overlays draw over the whole
    // frame, but outside that area the result is neither compared nor shown, and the area
    // is always copied anew before it is.
    CopyArea(m_composed, m_screen, m_dirty);
    for (StageOverlay* overlay : m_overlays) overlay->DrawOver(m_composed);
    const TRect changed = ChangedPart(m_dirty);
    const bool whole = m_dirty == kStageBounds;
    m_dirty = {};
    if (changed.IsEmpty()) return;
    // After a change of the whole stage (a transition's step) the composed frame is what
    // the window is to show, and what was shown can be composed over next time: a swap
    // saves copying a frame.
    if (whole) {
        std::swap(m_shown, m_composed);
    } else {
        CopyArea(m_shown, m_composed, changed);
    }
    m_shownValid = true;
    m_window.Present(m_shown.Bits(), m_shown.Stride(),
                     StageArea{changed.Left, changed.Top, changed.Right, changed.Bottom});
    m_lastPresent = now;
}

}  // namespace kelva
