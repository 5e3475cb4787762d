// Time for the frame timer and waits. Injectable: replays run on a virtual clock.
#pragma once

#include <cstdint>

namespace kelva {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual int64_t NowMs() = 0;
    // Blocks (or, for a virtual clock, jumps) until NowMs() >= deadline.
    virtual void SleepUntil(int64_t deadlineMs) = 0;
};

}  // namespace kelva
