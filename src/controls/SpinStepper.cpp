#include "SpinStepper.h"

#include "NumberText.h"
#include "ScaleTicks.h"

#include <algorithm>
#include <cmath>

namespace kqvdr {

int SpinStepper::decimals() const {
    if (settings.decimals >= 0) {
        return std::min(settings.decimals, 9);
    }
    return decimalsForInterval(std::abs(settings.increment));
}

double SpinStepper::rounded(double value) const {
    if (!std::isfinite(value)) {
        return value;
    }
    // Through the shown text, so that the value is exactly the number the operator sees.
    const double result = roundToDecimals(value, decimals());
    return result == 0.0 ? 0.0 : result;
}

double SpinStepper::step(double from, int direction, bool accelerated) const {
    const double low = std::min(settings.minimum, settings.maximum);
    const double high = std::max(settings.minimum, settings.maximum);
    double amount = std::abs(settings.increment);
    if (accelerated && settings.acceleratedIncrement != 0.0) {
        amount = std::abs(settings.acceleratedIncrement);
    }
    if (!std::isfinite(amount)) {
        amount = 0.0;
    }
    if (!std::isfinite(from)) {
        return direction > 0 ? low : high;
    }
    const double sign = direction > 0 ? 1.0 : (direction < 0 ? -1.0 : 0.0);
    const double target = std::clamp(from + sign * amount, low, high);
    // Rounding may push a value a hair past a limit that itself has more decimals than shown.
    return std::clamp(rounded(target), low, high);
}

} // namespace kqvdr
