#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kqvdr {

// Tick positions are whole multiples of the interval, cleaned of binary rounding noise, so that
// 3 x 0.1 is labelled 0.3 and the last tick of 0..2.0 every 0.1 is not lost to 1.9999999.

// Multiples of interval lying in [first, last] (either order), ascending. Empty for an interval
// that is not positive and finite, or when there would be more than maxCount ticks.
std::vector<double> ticksEvery(double first, double last, double interval,
                               std::size_t maxCount = 1000);

// A 1, 2, 2.5 or 5 times a power of ten interval that splits span into at most maxTicks steps.
double niceTickInterval(double span, int maxTicks);

// Decimals needed to show multiples of interval exactly (0.25 -> 2, 0.5 -> 1, 10 -> 0), at most 6.
int decimalsForInterval(double interval);

// value with the given decimals as the program formats numbers, never as "-0.0".
std::string numberText(double value, int decimals);

} // namespace kqvdr
