#include "CPrinter.h"

#include "PrintFlags.h"

#include <QFontMetricsF>
#include <QPainter>

namespace kqvdr {

CPrinter::CPrinter(QPainter& painter, const PageGeometry& geometry)
    : painter_(painter), geometry_(geometry) {
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, geometry_.dpiY() / 150.0));
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
}

// The point size is the text's size on paper, at the device's own resolution.
QFont CPrinter::font(int flags, double points) const {
    QFont font(QString::fromLatin1(kFontFace));
    font.setStyleHint(QFont::Serif, QFont::PreferMatch);
    font.setPixelSize(std::max(1, static_cast<int>(points * geometry_.dpiY() / 72.0 + 0.5)));
    font.setBold((flags & PrintBold) != 0);
    font.setItalic((flags & PrintItalic) != 0);
    font.setUnderline((flags & PrintUnderline) != 0);
    font.setStrikeOut((flags & PrintStrikeOut) != 0);
    return font;
}

int CPrinter::alignment(int flags) {
    int qt = Qt::AlignLeft;
    if ((flags & PrintCentred) != 0) {
        qt = Qt::AlignHCenter;
    } else if ((flags & PrintRight) != 0) {
        qt = Qt::AlignRight;
    }
    qt |= (flags & PrintVCentred) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    if ((flags & PrintSingleLine) == 0) {
        qt |= Qt::TextWordWrap;
    }
    if ((flags & PrintExpandTabs) != 0) {
        qt |= Qt::TextExpandTabs;
    }
    return qt;
}

QRectF CPrinter::toDevice(const QRectF& box) const {
    const double left = geometry_.deviceX(box.left());
    const double top = geometry_.deviceY(box.top());
    return {left, top, geometry_.deviceX(box.right()) - left,
            geometry_.deviceY(box.bottom()) - top};
}

double CPrinter::textHeight(const QRectF& box, int flags, double points,
                            const QString& text) const {
    const QFontMetricsF metrics(font(flags, points), painter_.device());
    const QRectF device = toDevice(box);
    const QRectF needed =
        metrics.boundingRect(QRectF(device.left(), device.top(), device.width(), 1e6),
                             alignment(flags & ~PrintVCentred), text);
    return geometry_.unitsFromDeviceY(needed.height());
}

double CPrinter::textWidth(int flags, double points, const QString& text) const {
    const QFontMetricsF metrics(font(flags, points), painter_.device());
    return metrics.horizontalAdvance(text) * PageGeometry::kLogicalExtent /
           geometry_.deviceX(PageGeometry::kLogicalExtent);
}

void CPrinter::drawText(const QRectF& box, int flags, double points, const QString& text) {
    const QRectF device = toDevice(box);
    painter_.save();
    painter_.setFont(font(flags, points));
    if ((flags & PrintNoClip) == 0) {
        painter_.setClipRect(device);
    }
    painter_.drawText(device, alignment(flags), text);
    painter_.restore();
    if ((flags & PrintBoxed) != 0) {
        drawRect(box);
    }
}

void CPrinter::drawRect(const QRectF& box) {
    painter_.drawRect(toDevice(box));
}

void CPrinter::drawLine(const QPointF& from, const QPointF& to) {
    painter_.drawLine(QPointF(geometry_.deviceX(from.x()), geometry_.deviceY(from.y())),
                      QPointF(geometry_.deviceX(to.x()), geometry_.deviceY(to.y())));
}

} // namespace kqvdr
