#include "CGraphAxis.h"

#include <cmath>

namespace kqvdr {

CGraphAxis::CGraphAxis(const QString& name, double minimum, double maximum, QObject* parent)
    : QObject(parent), minimum_(minimum), maximum_(maximum) {
    setObjectName(name);
}

void CGraphAxis::setRange(double minimum, double maximum) {
    if (!std::isfinite(minimum) || !std::isfinite(maximum)) {
        return;
    }
    if (minimum == minimum_ && maximum == maximum_) {
        return;
    }
    minimum_ = minimum;
    maximum_ = maximum;
    emit rangeChanged(minimum_, maximum_);
}

} // namespace kqvdr
