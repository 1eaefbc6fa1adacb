#pragma once

#include <QString>
#include <vector>

namespace kqvdr {

// A bordered grid: a header row of bold, centred column titles ("Col %d" when empty) and body
// rows, all of one height from the point size. Column widths are inches; the last column takes
// up whatever makes them fill the table's width.
struct CPrintTable {
    double top = 0;
    double left = 0;
    double right = 0;
    int rows = 0; // body rows, without the header
    double points = 10;
    std::vector<QString> titles;
    std::vector<double> widths;

    // One row's height in inches.
    double rowHeight() const { return points * 1.25 / 72.0; }
    double bottom() const { return top + rowHeight() * (rows + 1); }
    // The column widths, the last one fitted to the table's width.
    std::vector<double> fittedWidths() const;
    QString title(int column) const;
};

} // namespace kqvdr
