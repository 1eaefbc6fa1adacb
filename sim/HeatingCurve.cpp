#include "HeatingCurve.h"

#include <algorithm>
#include <cmath>

namespace kqvdr::sim {
namespace {

// Near the vertex the curve is flat; a real heater still closes the last fraction of a degree.
constexpr double kMinimumRate = 0.02; // °C per second

} // namespace

double HeatingCurve::timeAt(double temperature) const {
    // Bisection on the monotonic branch: robust for both rising and falling curves.
    double low = 0;
    double high = vertex();
    for (int i = 0; i < 60; ++i) {
        const double mid = (low + high) / 2;
        const bool before = rising() ? at(mid) < temperature : at(mid) > temperature;
        (before ? low : high) = mid;
    }
    return (low + high) / 2;
}

double HeatingCurve::step(double temperature, double target, double seconds) const {
    const bool towards = rising() ? temperature < target : temperature > target;
    if (!towards || seconds <= 0) {
        return temperature;
    }
    const double start = at(0);
    const double end = at(vertex());
    const bool beforeBranch = rising() ? temperature < start : temperature > start;
    const bool pastBranch = rising() ? temperature >= end : temperature <= end;
    double next = 0;
    if (beforeBranch) {
        next = temperature + rateAt(0) * seconds;
    } else if (pastBranch) {
        next = temperature + (rising() ? kMinimumRate : -kMinimumRate) * seconds;
    } else {
        const double t = timeAt(temperature);
        next = at(std::min(t + seconds, vertex()));
        const double minimumStep = kMinimumRate * seconds;
        if (std::abs(next - temperature) < minimumStep) {
            next = temperature + (rising() ? minimumStep : -minimumStep);
        }
    }
    return rising() ? std::min(next, target) : std::max(next, target);
}

} // namespace kqvdr::sim
