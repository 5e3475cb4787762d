#include "core/FrameTimer.h"

#include <algorithm>

namespace kelva {

void FrameTimer::SetInterval(int intervalMs, int64_t nowMs)
{
    // An interval below 1 ms would fire without end.
    m_interval = std::max(1, intervalMs);
    m_last = nowMs;
}

void FrameTimer::SetEnabled(bool enabled, int64_t nowMs)
{
    if (enabled && !m_enabled) m_last = nowMs;
    m_enabled = enabled;
}

void FrameTimer::SetActive(bool active, int64_t nowMs)
{
    if (active && !m_active) m_last = nowMs;
    m_active = active;
}

int FrameTimer::Fire(int64_t nowMs)
{
    if (!Running() || nowMs < DueMs()) return 0;
    const int64_t lag = (nowMs - m_last) / m_interval;
    m_last += lag * m_interval;
    return static_cast<int>(std::min<int64_t>(lag, 1 << 20));
}

}  // namespace kelva
