#pragma once

namespace kqvdr {

struct PlotPoint {
    double x = 0.0;
    double y = 0.0;
};

// Maps data coordinates to device pixels inside a plot rectangle (y grows downwards on screen).
// Far-off values are held to a band a little outside the rectangle, so that a spike of 1e30 or
// an infinity still draws as a line leaving the plot instead of overflowing the painter.
class PlotTransform {
public:
    PlotTransform(double left, double top, double width, double height, double xMinimum,
                  double xMaximum, double yMinimum, double yMaximum);

    PlotPoint map(double x, double y) const;

    // The visible x window for a strip chart of the given span: it starts at xMinimum until the
    // newest point passes xMaximum, then follows the newest point.
    static void scrolledWindow(double xMinimum, double xMaximum, double newestX, double* first,
                               double* last);

private:
    double mapAxis(double value, double low, double high, double from, double length,
                   bool flip) const;
    double left_, top_, width_, height_;
    double xMinimum_, xMaximum_, yMinimum_, yMaximum_;
};

} // namespace kqvdr
