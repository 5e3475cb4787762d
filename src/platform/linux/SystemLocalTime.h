#pragma once

#include "platform/LocalTime.h"

namespace kelva {

// The system's wall clock in the local time zone.
class SystemLocalTime final : public LocalTime {
public:
    TLocalDateTime Now() override;
};

}  // namespace kelva
