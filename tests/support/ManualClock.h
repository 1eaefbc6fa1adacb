#pragma once

#include "Clock.h"

namespace kqvdr::test {

// A clock that moves only when a test moves it.
class ManualClock : public Clock {
public:
    LocalTime now() const override { return time; }

    void advanceSeconds(int seconds) {
        int total = time.hour * 3600 + time.minute * 60 + time.second + seconds;
        total %= 24 * 3600;
        time.hour = total / 3600;
        time.minute = total / 60 % 60;
        time.second = total % 60;
    }

    LocalTime time;
};

} // namespace kqvdr::test
