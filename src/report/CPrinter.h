#pragma once

#include "PageGeometry.h"

#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

namespace kqvdr {

// Draws for a page on its painter: fonts from the attribute flags and point sizes, text in
// boxes given in the page's logical units, rectangles and lines. Glyphs are drawn at the
// device's own scale, so the page's narrower horizontal unit moves text without squeezing it.
class CPrinter {
public:
    static constexpr const char* kFontFace = "Times New Roman";

    CPrinter(QPainter& painter, const PageGeometry& geometry);

    QFont font(int flags, double points) const;
    // The logical height the text takes in a box of this logical width.
    double textHeight(const QRectF& box, int flags, double points, const QString& text) const;
    // The logical width of the text on one line.
    double textWidth(int flags, double points, const QString& text) const;
    void drawText(const QRectF& box, int flags, double points, const QString& text);
    void drawRect(const QRectF& box);
    void drawLine(const QPointF& from, const QPointF& to);

private:
    QRectF toDevice(const QRectF& box) const;
    static int alignment(int flags);

    QPainter& painter_;
    const PageGeometry& geometry_;
};

} // namespace kqvdr
