#include "SystemClock.h"

#include <ctime>

namespace kqvdr {
namespace {

// The local time's distance from UTC, taken from the same instant, so that a change of summer
// time shows in the offset of the very line it affects.
int utcOffsetMinutes(std::time_t seconds, const std::tm& local) {
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    // Offsets stay within a day, so the two dates differ by a day at most.
    int days = 0;
    if (local.tm_year != utc.tm_year || local.tm_yday != utc.tm_yday) {
        const bool localAhead = local.tm_year != utc.tm_year ? local.tm_year > utc.tm_year
                                                             : local.tm_yday > utc.tm_yday;
        days = localAhead ? 1 : -1;
    }
    const int difference =
        days * 24 * 60 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
    return difference;
}

} // namespace

LocalTime SystemClock::now() const {
    const std::time_t seconds = std::time(nullptr);
    if (seconds == cachedSecond_) {
        return cached_;
    }
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &seconds);
#else
    localtime_r(&seconds, &parts);
#endif
    cached_ = {
        parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
        parts.tm_min,         parts.tm_sec,     parts.tm_wday, utcOffsetMinutes(seconds, parts)};
    cachedSecond_ = seconds;
    return cached_;
}

} // namespace kqvdr
