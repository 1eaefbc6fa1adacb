#pragma once

#include "CPrintRegion.h"
#include "CPrintTable.h"
#include "CPrinter.h"
#include "PageGeometry.h"

#include <QString>

class QPainter;

namespace kqvdr {

// One printed page: places text by inches, with the page's mapping (a column lands 0.9 of its
// inches across, a row exactly its inches down), and draws regions and tables. Every text
// operation returns the row just below what it printed.
class CPage {
public:
    CPage(QPainter& painter, const PageGeometry& geometry);

    // Text in a box from (row, column) to the page's right and bottom edges.
    double PrintAt(double row, double column, int flags, double points, const QString& text);

    CPrintRegion CreateRegion(double top, double left, double bottom, double right);
    double SetTitle(const CPrintRegion& region, const QString& text, double points, int flags);
    // Text in a box given relative to the region's top-left corner, kept inside the region.
    double PrintInRegion(const CPrintRegion& region, double top, double left, double bottom,
                         double right, int flags, double points, const QString& text);

    // The grid and the header row; returns the row below the table.
    double DrawTable(const CPrintTable& table);
    // One body cell, always a single line centred vertically.
    void PrintCell(const CPrintTable& table, int row, int column, double points, int flags,
                   const QString& text);

    // The width of a single line of text, in the page's column inches.
    double textWidth(int flags, double points, const QString& text) const;

    // Above 1, each printed text is followed by (factor − 1) of its height.
    void setLineSpacing(double factor) { lineSpacing_ = factor; }

    const PageGeometry& geometry() const { return geometry_; }

private:
    QRectF boxUnits(double top, double left, double bottom, double right) const;
    double printInBox(const QRectF& box, int flags, double points, const QString& text);

    PageGeometry geometry_;
    CPrinter printer_;
    double lineSpacing_ = 1.0;
};

} // namespace kqvdr
