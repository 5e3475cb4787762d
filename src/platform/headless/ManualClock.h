#pragma once

#include "platform/Clock.h"

namespace kelva {

// A virtual clock: time moves only when someone sleeps on it or sets it.
class ManualClock final : public Clock {
public:
    int64_t NowMs() override { return m_now; }
    void SleepUntil(int64_t deadlineMs) override
    {
        if (deadlineMs > m_now) m_now = deadlineMs;
    }
    void Advance(int64_t ms) { m_now += ms; }

private:
    int64_t m_now = 0;
};

}  // namespace kelva
