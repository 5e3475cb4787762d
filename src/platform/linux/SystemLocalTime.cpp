#include "platform/linux/SystemLocalTime.h"

#include <ctime>

namespace kelva {

TLocalDateTime SystemLocalTime::Now()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return {};
    // A leap second shows as 60; the stored format counts to 59.
    return TLocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                          local.tm_hour,        local.tm_min,     local.tm_sec > 59 ? 59 : local.tm_sec};
}

}  // namespace kelva
