#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace kqvdr::remote {

// Counts log lines that any client can provoke, so that they are reported as one line a minute
// rather than one line each: otherwise a client could fill the program's log.
class FloodCounter {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kPeriod{60};

    // `what` names the counted lines in the report ("requests with invalid UTF-8").
    FloodCounter(std::string what, Clock::time_point start)
        : what_(std::move(what)), since_(start) {}

    // From any thread.
    void count() { counted_.fetch_add(1, std::memory_order_relaxed); }

    // From one thread: the report line when a period has passed and something was counted.
    std::optional<std::string> due(Clock::time_point now);

private:
    std::string what_;
    std::atomic<std::uint64_t> counted_{0};
    Clock::time_point since_;
};

} // namespace kqvdr::remote
