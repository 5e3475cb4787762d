#include "core/SkipControl.h"

#include <utility>

namespace kelva {

bool SkipControl::Start()
{
    if (m_state.SkipMode) return true;
    const bool reading = m_state.Mode == PlayerMode::KeyWait || m_state.Mode == PlayerMode::Text;
    // At a key wait the page shown has just been recorded as read; typing may still be
    // on one the reader has never seen.
    if (!reading || (m_state.Mode == PlayerMode::Text && OnlyReadAndUnread())) return false;
    m_state.SkipMode = true;
    m_timer.SetTimerInterval(1);
    m_log.Event("skip");
    return true;
}

void SkipControl::End()
{
    m_state.SkipMode = false;
    m_timer.SetTimerInterval(m_timer.TextInterval());
}

void SkipControl::Hold(bool held)
{
    if (held) {
        m_pressedAtMs = m_timer.NowMs();
        return;
    }
    m_pressedAtMs.reset();
    if (!std::exchange(m_held, false) || !m_state.SkipMode) return;
    End();
    m_log.Event("skip-end", "release");
}

void SkipControl::Tick()
{
    if (!m_pressedAtMs || m_timer.NowMs() - *m_pressedAtMs < kHoldDelayMs) return;
    m_pressedAtMs.reset();
    m_held = Start();
}

void SkipControl::TextBegins(const CNovelItem* item, ReadingPosition position)
{
    m_pages.TextBegins(item, position);
    if (!m_state.SkipMode || !OnlyReadAndUnread()) return;
    End();
    m_log.Event("skip-end", "unread");
}

}  // namespace kelva
