// The stage window's frame timer. It fires when at least its interval has passed since
// its previous firing and reports the lag: the whole number of intervals that have
// passed (at least 1). The phase is kept (the next firing is due a whole number of
// intervals after the last), so a long tick doesn't make the story drift. It fires only
// while it is enabled and the stage window is the active one.
#pragma once

#include <cstdint>

namespace kelva {

class FrameTimer {
public:
    explicit FrameTimer(int64_t nowMs, int intervalMs = 30) : m_interval(intervalMs), m_last(nowMs) {}

    int Interval() const { return m_interval; }
    // A new interval counts from now.
    void SetInterval(int intervalMs, int64_t nowMs);

    // Stopping and restarting: a restarted timer counts its interval from now.
    void SetEnabled(bool enabled, int64_t nowMs);
    // The window losing and regaining the focus: the time away counts for nothing.
    void SetActive(bool active, int64_t nowMs);
    bool Running() const { return m_enabled && m_active; }

    // When the next firing is due.
    int64_t DueMs() const { return m_last + m_interval; }
    // The lag count when the timer is due at `nowMs` (and then counts it as fired);
    // 0 when it is not due or not running.
    int Fire(int64_t nowMs);

private:
    int m_interval;
    int64_t m_last;
    bool m_enabled = true;
    bool m_active = true;
};

}  // namespace kelva
