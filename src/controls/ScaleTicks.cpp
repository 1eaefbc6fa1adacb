#include "ScaleTicks.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace kqvdr {

int decimalsForInterval(double interval) {
    if (!std::isfinite(interval) || interval <= 0.0) {
        return 0;
    }
    double scaled = interval;
    for (int decimals = 0; decimals < 6; ++decimals) {
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled)) {
            return decimals;
        }
        scaled *= 10.0;
    }
    return 6;
}

std::vector<double> ticksEvery(double first, double last, double interval, std::size_t maxCount) {
    std::vector<double> ticks;
    if (!std::isfinite(first) || !std::isfinite(last) || !std::isfinite(interval) ||
        interval <= 0.0) {
        return ticks;
    }
    const double low = std::min(first, last);
    const double high = std::max(first, last);
    // A little slack so that an end lying on a multiple is kept despite rounding in the division.
    const double slack = 1e-9;
    const double firstIndex = std::ceil(low / interval - slack);
    const double lastIndex = std::floor(high / interval + slack);
    if (lastIndex < firstIndex || lastIndex - firstIndex + 1.0 > static_cast<double>(maxCount)) {
        return ticks;
    }
    const double scale = std::pow(10.0, decimalsForInterval(interval));
    for (double index = firstIndex; index <= lastIndex; index += 1.0) {
        const double tick = std::round(index * interval * scale) / scale;
        ticks.push_back(tick == 0.0 ? 0.0 : tick); // no "-0" labels
    }
    return ticks;
}

double niceTickInterval(double span, int maxTicks) {
    span = std::abs(span);
    if (!std::isfinite(span) || span == 0.0) {
        return 1.0;
    }
    maxTicks = std::max(maxTicks, 1);
    const double rough = span / maxTicks;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (factor * magnitude >= rough * (1.0 - 1e-9)) {
            return factor * magnitude;
        }
    }
    return 10.0 * magnitude;
}

std::string numberText(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 9);
    std::string text = formatDecimal(value, decimals);
    if (!text.empty() && text.front() == '-' &&
        text.find_first_of("123456789") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

} // namespace kqvdr
