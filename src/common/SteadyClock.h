#pragma once

#include <chrono>

namespace kqvdr {

// Time that only moves forward, for bounding how long a piece of work may take. Separate from
// the local-time Clock, which tests may fake and which jumps with the calendar.
class SteadyClock {
public:
    virtual ~SteadyClock() = default;
    virtual std::chrono::steady_clock::time_point now() const = 0;
};

} // namespace kqvdr
