#include "ScenarioClock.h"

#include "ClockSeconds.h"

namespace kqvdr::test {

int weekdayOf(const LocalTime& date) {
    LocalTime midnight = date;
    midnight.hour = midnight.minute = midnight.second = 0;
    const std::int64_t days = localSeconds(midnight) / 86400;
    return static_cast<int>(((days % 7) + 11) % 7); // 1970-01-01 was a Thursday
}

ScenarioClock::ScenarioClock(const LocalTime& start, int offsetMinutes) {
    utcMs_ = (localSeconds(start) - std::int64_t{offsetMinutes} * 60) * 1000;
    offsets_[INT64_MIN] = offsetMinutes;
}

int ScenarioClock::offsetMinutesAt(std::int64_t utcMs) const {
    return std::prev(offsets_.upper_bound(utcMs))->second;
}

LocalTime ScenarioClock::now() const {
    const int offset = offsetMinutesAt(utcMs_);
    const std::int64_t utcSecond = utcMs_ >= 0 ? utcMs_ / 1000 : (utcMs_ - 999) / 1000;
    LocalTime local = localTimeAt(utcSecond + std::int64_t{offset} * 60);
    local.weekday = weekdayOf(local);
    local.utcOffsetMinutes = offset;
    return local;
}

std::int64_t ScenarioClock::utcMsOf(const LocalTime& local, std::int64_t fromUtcMs) const {
    // Each offset in force gives one candidate; the earliest that really shows the time wins.
    std::int64_t best = INT64_MAX;
    for (const auto& [from, offset] : offsets_) {
        const std::int64_t candidate = (localSeconds(local) - std::int64_t{offset} * 60) * 1000;
        if (candidate >= fromUtcMs && candidate < best && offsetMinutesAt(candidate) == offset) {
            best = candidate;
        }
    }
    return best;
}

} // namespace kqvdr::test
