#include "ReferenceTables.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace kqvdr {
namespace {

constexpr int kCurveSeconds = 5000;

} // namespace

ReferenceTable::ReferenceTable(int topIndex, double a, double b, double c, Direction direction)
    : seconds_(static_cast<std::size_t>(topIndex) + 1, 0) {
    const bool rising = direction == Direction::Rising;
    int previous = rising ? 0 : topIndex;
    for (int t = 0; t < kCurveSeconds; ++t) {
        const double y = ((c * t) + b) * t + a;
        const int degree = static_cast<int>(std::trunc(roundToDecimals(y, 1)));
        if (degree < 0 || degree > topIndex) {
            break;
        }
        if (degree != previous) {
            if (rising ? degree < previous : degree > previous) {
                break; // the curve has turned back
            }
            seconds_[static_cast<std::size_t>(degree)] = t;
        }
        previous = degree;
    }
}

int ReferenceTable::secondsAt(int degree) const {
    return seconds_[static_cast<std::size_t>(std::clamp(degree, 0, topIndex()))];
}

ReferenceTables::ReferenceTables()
    : nebRise(250, 40.263374, 0.15889636, -3.3989287e-05, ReferenceTable::Direction::Rising),
      evapRise(350, 45.375641, 0.2610386, -6.6291897e-05, ReferenceTable::Direction::Rising),
      nebFall(250, 217.78282, -0.066260472, 5.8323326e-06, ReferenceTable::Direction::Falling),
      evapFall(350, 315.16156, -0.12380831, 1.3440129e-05, ReferenceTable::Direction::Falling) {}

} // namespace kqvdr
