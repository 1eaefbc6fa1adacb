#pragma once

#include "Clock.h"

#include <ctime>

namespace kqvdr {

// The computer's local time. The broken-down time is worked out once per second: the poll asks
// for it on every tick, and the time zone conversion costs far more than the tick's own work.
class SystemClock final : public Clock {
public:
    LocalTime now() const override;

private:
    mutable std::time_t cachedSecond_ = -1;
    mutable LocalTime cached_;
};

} // namespace kqvdr
