#pragma once

#include "TrendRing.h"

#include <cstdint>

namespace kqvdr {

class Clock;
struct InstrumentState;

// Takes one sample of the poll's readings per second of the clock while the instrument
// answers, into a ring that holds the last eight hours. It runs whether or not a window shows
// it, so the trend is there when the window opens.
class TrendRecorder {
public:
    static constexpr std::size_t kCapacity = 8 * 3600;

    TrendRecorder(const InstrumentState& state, const Clock& clock);

    // True when a sample was added.
    bool tickEnded();
    const TrendRing& ring() const { return ring_; }

private:
    const InstrumentState& state_;
    const Clock& clock_;
    TrendRing ring_{kCapacity};
    std::int64_t lastSecond_ = -1;
};

} // namespace kqvdr
