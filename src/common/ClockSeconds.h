#pragma once

#include "Clock.h"

#include <cstdint>

namespace kqvdr {

// Seconds from 1970-01-01 00:00 of the local calendar to this local time: a count that grows
// by one each second of wall-clock time, for measuring spans and labelling axes in local time.
std::int64_t localSeconds(const LocalTime& time);

// The same instant in seconds since the epoch in UTC, which does not jump at summer time.
inline std::int64_t utcSeconds(const LocalTime& time) {
    return localSeconds(time) - std::int64_t{time.utcOffsetMinutes} * 60;
}

} // namespace kqvdr

namespace kqvdr {

// The local date and time `localSeconds` counts to (the weekday and offset are left as they
// default).
LocalTime localTimeAt(std::int64_t seconds);

} // namespace kqvdr
