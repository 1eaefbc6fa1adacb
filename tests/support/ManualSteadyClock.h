#pragma once

#include "SteadyClock.h"

namespace kqvdr::test {

// A steady clock that stands still unless a test moves it, or moves by a fixed step each time it
// is read, standing in for work that takes time.
class ManualSteadyClock : public SteadyClock {
public:
    std::chrono::steady_clock::time_point now() const override {
        const auto read = time;
        time += stepPerRead;
        return read;
    }

    mutable std::chrono::steady_clock::time_point time{};
    std::chrono::nanoseconds stepPerRead{0};
};

} // namespace kqvdr::test
