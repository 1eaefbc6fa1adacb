#include "DialScale.h"

#include "ScaleTicks.h"

#include <algorithm>
#include <cmath>

namespace kqvdr {

double DialScale::fraction(double value) const {
    const double span = maximum_ - minimum_;
    if (!(span > 0.0) || !std::isfinite(value)) {
        return 0.0;
    }
    return std::clamp((value - minimum_) / span, 0.0, 1.0);
}

double DialScale::angleFor(double value) const {
    return kStartAngle - kSweep * fraction(value);
}

double DialScale::valueAt(double angle) const {
    if (!std::isfinite(angle)) {
        return minimum_;
    }
    double along = std::fmod(kStartAngle - angle, 360.0);
    if (along < 0.0) {
        along += 360.0;
    }
    if (along > kSweep) {
        const double gapMiddle = kSweep + (360.0 - kSweep) / 2.0;
        return along < gapMiddle ? maximum_ : minimum_;
    }
    return minimum_ + (maximum_ - minimum_) * along / kSweep;
}

double DialScale::dragTo(double current, double angle) const {
    const double next = valueAt(angle);
    const double span = maximum_ - minimum_;
    if (std::abs(next - current) > span / 2.0) {
        return fraction(current) >= 0.5 ? maximum_ : minimum_;
    }
    return next;
}

double DialScale::snapped(double value, double interval) const {
    const double low = std::min(minimum_, maximum_);
    const double high = std::max(minimum_, maximum_);
    if (!std::isfinite(value)) {
        return low;
    }
    if (std::isfinite(interval) && interval > 0.0) {
        const double steps = std::round((value - minimum_) / interval);
        const int decimals =
            std::max(decimalsForInterval(interval), decimalsForInterval(std::abs(minimum_)));
        const double scale = std::pow(10.0, decimals);
        value = std::round((minimum_ + steps * interval) * scale) / scale;
    }
    value = std::clamp(value, low, high);
    return value == 0.0 ? 0.0 : value;
}

} // namespace kqvdr
