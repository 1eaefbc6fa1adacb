#include "CPage.h"

#include "PrintFlags.h"

#include <algorithm>

namespace kqvdr {

CPage::CPage(QPainter& painter, const PageGeometry& geometry)
    : geometry_(geometry), printer_(painter, geometry_) {}

QRectF CPage::boxUnits(double top, double left, double bottom, double right) const {
    const double x = geometry_.columnUnits(left);
    const double y = geometry_.rowUnits(top);
    return {x, y, geometry_.columnUnits(right) - x, geometry_.rowUnits(bottom) - y};
}

double CPage::printInBox(const QRectF& box, int flags, double points, const QString& text) {
    const double height = printer_.textHeight(box, flags, points, text);
    QRectF drawn = box;
    if ((flags & PrintVCentred) == 0 && (flags & PrintBoxed) != 0) {
        // The rectangle hugs a single line of text, where its alignment puts it.
        drawn.setHeight(std::min(box.height(), height));
        const double width =
            std::min(box.width(), printer_.textWidth(flags, points, "  " + text + "  ") * 1.1);
        if ((flags & PrintCentred) != 0) {
            drawn = QRectF(box.center().x() - width / 2, box.top(), width, drawn.height());
        } else if ((flags & PrintRight) != 0) {
            drawn = QRectF(box.right() - width, box.top(), width, drawn.height());
        } else {
            drawn.setWidth(width);
        }
    }
    printer_.drawText(drawn, flags, points, text);
    const double below = box.top() + height * std::max(lineSpacing_, 1.0);
    return geometry_.unitsToRow(below);
}

double CPage::PrintAt(double row, double column, int flags, double points, const QString& text) {
    const QRectF box(geometry_.columnUnits(column), geometry_.rowUnits(row),
                     PageGeometry::kPageWidthUnits - geometry_.columnUnits(column),
                     PageGeometry::kPageHeightUnits - geometry_.rowUnits(row));
    return printInBox(box, flags, points, text);
}

double CPage::textWidth(int flags, double points, const QString& text) const {
    const double units = printer_.textWidth(flags, points, text);
    return units * geometry_.widthInches() / PageGeometry::kPageWidthUnits;
}

CPrintRegion CPage::CreateRegion(double top, double left, double bottom, double right) {
    const CPrintRegion region{top, left, bottom, right};
    printer_.drawRect(boxUnits(top, left, bottom, right));
    return region;
}

double CPage::SetTitle(const CPrintRegion& region, const QString& text, double points, int flags) {
    return printInBox(boxUnits(region.top, region.left, region.bottom, region.right), flags, points,
                      text);
}

double CPage::PrintInRegion(const CPrintRegion& region, double top, double left, double bottom,
                            double right, int flags, double points, const QString& text) {
    const double boxBottom = std::min(region.top + bottom, region.bottom);
    const double boxRight = std::min(region.left + right, region.right);
    return printInBox(boxUnits(region.top + top, region.left + left, boxBottom, boxRight), flags,
                      points, text);
}

double CPage::DrawTable(const CPrintTable& table) {
    const std::vector<double> widths = table.fittedWidths();
    printer_.drawRect(boxUnits(table.top, table.left, table.bottom(), table.right));
    for (int line = 1; line <= table.rows; ++line) {
        const double y = geometry_.rowUnits(table.top + line * table.rowHeight());
        printer_.drawLine({geometry_.columnUnits(table.left), y},
                          {geometry_.columnUnits(table.right), y});
    }
    double x = table.left;
    for (std::size_t column = 0; column < widths.size(); ++column) {
        const QRectF header =
            boxUnits(table.top, x, table.top + table.rowHeight(), x + widths[column]);
        printer_.drawText(header, PrintBold | PrintCentred | PrintVCentred | PrintSingleLine,
                          table.points, table.title(static_cast<int>(column)));
        x += widths[column];
        if (column + 1 < widths.size()) {
            printer_.drawLine({geometry_.columnUnits(x), geometry_.rowUnits(table.top)},
                              {geometry_.columnUnits(x), geometry_.rowUnits(table.bottom())});
        }
    }
    return table.bottom();
}

void CPage::PrintCell(const CPrintTable& table, int row, int column, double points, int flags,
                      const QString& text) {
    const std::vector<double> widths = table.fittedWidths();
    if (column < 0 || static_cast<std::size_t>(column) >= widths.size() || row < 0 ||
        row >= table.rows) {
        return;
    }
    double left = table.left;
    for (int i = 0; i < column; ++i) {
        left += widths[static_cast<std::size_t>(i)];
    }
    const double top = table.top + (row + 1) * table.rowHeight();
    // Text keeps a little way off the grid lines.
    constexpr double kPadding = 0.04;
    printer_.drawText(boxUnits(top, left + kPadding, top + table.rowHeight(),
                               left + widths[static_cast<std::size_t>(column)] - kPadding),
                      (flags | PrintSingleLine | PrintVCentred) & ~PrintBoxed, points, text);
}

} // namespace kqvdr
