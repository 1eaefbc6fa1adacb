#include "TrendRing.h"

namespace kqvdr {

TrendRing::TrendRing(std::size_t capacity) : samples_(capacity == 0 ? 1 : capacity) {}

void TrendRing::push(const TrendSample& sample) {
    samples_[next_] = sample;
    next_ = (next_ + 1) % samples_.size();
    if (size_ < samples_.size()) {
        ++size_;
    }
}

const TrendSample& TrendRing::at(std::size_t index) const {
    const std::size_t oldest = size_ < samples_.size() ? 0 : next_;
    return samples_[(oldest + index) % samples_.size()];
}

// Samples are pushed in time order, so a binary search finds the span's start.
std::size_t TrendRing::firstAtOrAfter(std::int64_t time) const {
    std::size_t low = 0;
    std::size_t high = size_;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (at(middle).time < time) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

} // namespace kqvdr
