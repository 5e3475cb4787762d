#include "platform/ThreadPriority.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>

namespace kelva {

bool SetTimeCriticalPriority(std::thread& thread)
{
    if (!thread.joinable()) return false;
    // Any FIFO level already runs ahead of all ordinary threads. A low one leaves the
    // levels above to the sound server and the kernel's own real-time threads, which
    // the synthesizer's output depends on.
    const int lowest = sched_get_priority_min(SCHED_FIFO);
    const int highest = sched_get_priority_max(SCHED_FIFO);
    if (lowest < 0 || highest < 0) return false;
    sched_param param{};
    param.sched_priority = std::clamp(10, lowest, highest);
    return pthread_setschedparam(thread.native_handle(), SCHED_FIFO, &param) == 0;
}

}  // namespace kelva
