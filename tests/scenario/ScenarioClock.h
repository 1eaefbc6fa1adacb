#pragma once

#include "Clock.h"

#include <chrono>
#include <cstdint>
#include <map>

namespace kqvdr::test {

// The night's clock: an instant that moves only when the scenario moves it, shown as local time
// in a zone whose offset from UTC the scenario may change (summer time).
class ScenarioClock final : public Clock {
public:
    // Starts at this local date and time, `offsetMinutes` east of UTC.
    ScenarioClock(const LocalTime& start, int offsetMinutes);

    LocalTime now() const override;

    void advance(std::chrono::milliseconds step) { utcMs_ += step.count(); }
    // From the UTC instant `utcMs` on, local time is `offsetMinutes` east of UTC.
    void changeOffsetAt(std::int64_t utcMs, int offsetMinutes) { offsets_[utcMs] = offsetMinutes; }

    std::int64_t utcMs() const { return utcMs_; }
    // Seconds on a steady scale, for the simulated instrument's physics.
    double steadySeconds() const { return static_cast<double>(utcMs_) / 1000.0; }
    int offsetMinutesAt(std::int64_t utcMs) const;
    // The first UTC instant at or after `fromUtcMs` that shows this local date and time.
    std::int64_t utcMsOf(const LocalTime& local, std::int64_t fromUtcMs) const;

private:
    std::int64_t utcMs_;
    std::map<std::int64_t, int> offsets_; // from each instant on
};

// The weekday (0 = Sunday) of a date of the local calendar.
int weekdayOf(const LocalTime& date);

} // namespace kqvdr::test
