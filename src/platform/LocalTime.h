// The local date and time of day, for what records when it was made (bookmarks).
// Injectable: tests fix the date.
#pragma once

namespace kelva {

// A local date and time broken down, as the platform's clock gives it.
struct TLocalDateTime {
    int Year = 1899;  // 1 .. 9999
    int Month = 12;   // 1 .. 12
    int Day = 30;     // 1 .. 31
    int Hour = 0;     // 0 .. 23
    int Minute = 0;   // 0 .. 59
    int Second = 0;   // 0 .. 59
    bool operator==(const TLocalDateTime&) const = default;
};

class LocalTime {
public:
    virtual ~LocalTime() = default;
    virtual TLocalDateTime Now() = 0;
};

}  // namespace kelva
