#include "FloodCounter.h"

namespace kqvdr::remote {

std::optional<std::string> FloodCounter::due(Clock::time_point now) {
    if (now - since_ < kPeriod) {
        return std::nullopt;
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now - since_).count();
    since_ = now;
    const std::uint64_t counted = counted_.exchange(0, std::memory_order_relaxed);
    if (counted == 0) {
        return std::nullopt;
    }
    return std::to_string(counted) + " " + what_ + " in the last " + std::to_string(seconds) +
           " s (each is not reported on its own)";
}

} // namespace kqvdr::remote
