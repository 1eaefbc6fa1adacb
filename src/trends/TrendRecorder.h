#pragma once

#include "TrendRing.h"

#include <cstdint>

namespace kqvdr {

struct InstrumentState;
struct LocalTime;

// Takes one sample of the poll's readings per second of the clock while the instrument
// answers (after it has answered for a few seconds), into a ring that holds the last eight hours.
// It runs whether or not a window shows it, so the trend is there when the window opens.
class TrendRecorder {
public:
    static constexpr std::size_t kCapacity = 8 * 3600;
    // Readings are taken once the instrument has answered this long: before that, and for a
    // moment after a silence, the table still holds zeros or stale values.
    static constexpr std::int64_t kSettleSeconds = 3;

    explicit TrendRecorder(const InstrumentState& state);

    // True when a sample was added.
    bool tickEnded(const LocalTime& now);
    const TrendRing& ring() const { return ring_; }

private:
    const InstrumentState& state_;
    TrendRing ring_{kCapacity};
    std::int64_t lastSecond_ = -1;
    std::int64_t answeringSince_ = -1;
};

} // namespace kqvdr
