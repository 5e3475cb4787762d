#include "platform/linux/SteadyClock.h"

#include <chrono>
#include <thread>

namespace kelva {

int64_t SteadyClock::NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::SleepUntil(int64_t deadlineMs)
{
    // Until the moment itself: a whole number of milliseconds counted from NowMs, which
    // drops the fraction already gone, would wake up to a millisecond late, and a 1 ms
    // frame timer would then lose a tick in every few.
    using namespace std::chrono;
    std::this_thread::sleep_until(steady_clock::time_point(milliseconds(deadlineMs)));
}

}  // namespace kelva
