#pragma once

#include "SteadyClock.h"

namespace kqvdr {

// The computer's monotonic clock.
class SystemSteadyClock final : public SteadyClock {
public:
    std::chrono::steady_clock::time_point now() const override {
        return std::chrono::steady_clock::now();
    }
};

} // namespace kqvdr
