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
    const int64_t now = NowMs();
    if (deadlineMs > now) std::this_thread::sleep_for(std::chrono::milliseconds(deadlineMs - now));
}

}  // namespace kelva
