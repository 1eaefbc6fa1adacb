#pragma once

#include "Clock.h"
#include "ClockSeconds.h"

namespace kqvdr::test {

// A clock that moves only when a test moves it. Moving it carries the date and the weekday on
// past midnight, as a real clock does.
class ManualClock : public Clock {
public:
    LocalTime now() const override { return time; }

    void advanceSeconds(int seconds) {
        const std::int64_t before = localSeconds(time);
        const std::int64_t after = before + seconds;
        LocalTime next = localTimeAt(after);
        const auto day = [](std::int64_t s) { return s >= 0 ? s / 86400 : (s - 86399) / 86400; };
        next.weekday = static_cast<int>(((time.weekday + day(after) - day(before)) % 7 + 7) % 7);
        next.utcOffsetMinutes = time.utcOffsetMinutes;
        time = next;
    }

    LocalTime time;
};

} // namespace kqvdr::test
