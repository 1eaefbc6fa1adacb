#pragma once

namespace kqvdr {

// A broken-down local date and time.
struct LocalTime {
    int year = 2000;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 6;          // 0 = Sunday .. 6 = Saturday
    int utcOffsetMinutes = 0; // east of UTC is positive
};

// The local date and time now. The program reads it through this port so that tests and the
// simulator can run on a time of their own.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
};

} // namespace kqvdr
