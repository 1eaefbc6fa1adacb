#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kqvdr {

enum class TrendSeries : std::size_t {
    Evaporator,
    EvaporatorSetpoint,
    Nebuliser,
    NebuliserSetpoint,
    Exhaust,
    GasFlow,
    GasFlowSetpoint,
    Output,
};
inline constexpr std::size_t kTrendSeriesCount = 8;

// One second of readings in display units (°C, SLM, mV), stamped with local wall-clock seconds.
struct TrendSample {
    std::int64_t time = 0;
    std::array<float, kTrendSeriesCount> values{};

    float operator[](TrendSeries series) const { return values[static_cast<std::size_t>(series)]; }
};

// The newest samples up to a fixed count, oldest overwritten first. Its memory is allocated
// once: capacity × sizeof(TrendSample).
class TrendRing {
public:
    explicit TrendRing(std::size_t capacity);

    void push(const TrendSample& sample);
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return samples_.size(); }
    // 0 is the oldest sample kept.
    const TrendSample& at(std::size_t index) const;
    // Index of the first sample at or after `time` (size() when there is none).
    std::size_t firstAtOrAfter(std::int64_t time) const;

private:
    std::vector<TrendSample> samples_;
    std::size_t next_ = 0;
    std::size_t size_ = 0;
};

} // namespace kqvdr
