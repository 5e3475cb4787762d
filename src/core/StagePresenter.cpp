#include "core/StagePresenter.h"

namespace kelva {

namespace {
// Presenting more often than the display refreshes only costs time.
constexpr int kPresentSpacingMs = 16;
}  // namespace

StagePresenter::StagePresenter(StageWindow& window, Clock& clock, const TNkDIB& screen)
    : m_window(window), m_clock(clock), m_screen(screen)
{
}

std::optional<int64_t> StagePresenter::DueMs() const
{
    // Before the window is shown nothing is due: waiting for it would only spin.
    // Before the window is shown nothing is due: waiting for it would only spin.
    if (!m_changed || !m_started) return std::nullopt;
    return m_lastPresent + kPresentSpacingMs;
}

void StagePresenter::Flush(bool force)
{
    if (!m_changed || !m_started) return;
    const int64_t now = m_clock.NowMs();
    if (!force && now - m_lastPresent < kPresentSpacingMs) return;
    const TNkDIB* frame = &m_screen;
    if (!m_overlays.empty()) {
        m_composed.Assign(m_screen);
        for (StageOverlay* overlay : m_overlays) overlay->DrawOver(m_composed);
        frame = &m_composed;
    }
    m_window.Present(frame->Bits(), frame->Stride());
    m_lastPresent = now;
    m_changed = false;
}

}  // namespace kelva
