#pragma once

#include "platform/Clock.h"

namespace kelva {

class SteadyClock final : public Clock {
public:
    int64_t NowMs() override;
    void SleepUntil(int64_t deadlineMs) override;
};

}  // namespace kelva
