// Scheduling priority for threads whose work is due at exact times (the MIDI player).
#pragma once

#include <thread>

namespace kelva {

// Asks the system to run `thread` ahead of every ordinary thread (a real-time policy).
// Many systems refuse this to normal users; the answer is then false and the thread keeps
// its priority, which only makes its timing a little looser. False for a thread that
// isn't running.
bool SetTimeCriticalPriority(std::thread& thread);

}  // namespace kelva
