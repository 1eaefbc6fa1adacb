#include "PlotTransform.h"

#include <algorithm>
#include <cmath>

namespace kqvdr {

PlotTransform::PlotTransform(double left, double top, double width, double height, double xMinimum,
                             double xMaximum, double yMinimum, double yMaximum)
    : left_(left), top_(top), width_(width), height_(height), xMinimum_(xMinimum),
      xMaximum_(xMaximum), yMinimum_(yMinimum), yMaximum_(yMaximum) {}

double PlotTransform::mapAxis(double value, double low, double high, double from, double length,
                              bool flip) const {
    const double span = high - low;
    double fraction = 0.5; // a zero or broken range puts everything in the middle
    if (std::isfinite(span) && span != 0.0) {
        fraction = (value - low) / span;
    }
    if (std::isnan(fraction)) {
        fraction = 0.5;
    }
    fraction = std::clamp(fraction, -1.0, 2.0);
    return flip ? from + length * (1.0 - fraction) : from + length * fraction;
}

PlotPoint PlotTransform::map(double x, double y) const {
    return {mapAxis(x, xMinimum_, xMaximum_, left_, width_, false),
            mapAxis(y, yMinimum_, yMaximum_, top_, height_, true)};
}

void PlotTransform::scrolledWindow(double xMinimum, double xMaximum, double newestX, double* first,
                                   double* last) {
    *first = xMinimum;
    *last = xMaximum;
    if (std::isfinite(newestX) && newestX > xMaximum) {
        *first = xMinimum + (newestX - xMaximum);
        *last = newestX;
    }
}

} // namespace kqvdr
