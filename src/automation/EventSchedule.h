#pragma once

#include "Clock.h"
#include "ClockSeconds.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kqvdr {

// When a timetable's next event is due. Times are local seconds (ClockSeconds.h): a count that
// follows the wall clock, so an event falls in a stall, a suspend or the hour that summer time
// skips as surely as in the second it names.
//
// An event is awaited from a moment on: the first time after that moment that shows its weekday
// and minute (any day when `day` is empty) is when it falls due, and it fires at the first tick
// at or after that time. A timetable awaits its first event from the moment it starts, and each
// later event from the time the one before fell due, so events of one minute fire on
// consecutive ticks and an event whose time has passed waits for its next week (or day).
class EventSchedule {
public:
    // The first moment at or after `from` that shows `eventTime` ("HH:MM") on `eventDay` ("MON"
    // .. "SUN"), or on any day when `anyDay`; nothing when the day or the time cannot be read.
    static std::optional<std::int64_t> nextOccurrence(const std::string& eventDay,
                                                      const std::string& eventTime, bool anyDay,
                                                      std::int64_t from);

    // Starts awaiting the first event at `now`.
    void restart(const LocalTime& now) { awaitFrom_ = localSeconds(now); }
    // The event that fell due at `dueAt` has been applied; the next is awaited from then.
    void fired(std::int64_t dueAt) { awaitFrom_ = dueAt; }
    // When the awaited event is due, if it falls due by `now`.
    std::optional<std::int64_t> dueBy(const std::string& eventDay, const std::string& eventTime,
                                      bool anyDay, const LocalTime& now) const;

private:
    std::int64_t awaitFrom_ = 0;
};

} // namespace kqvdr
