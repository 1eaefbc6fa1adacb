#include "WarningPicture.h"

#include <QPainter>
#include <QPainterPath>

namespace kqvdr {

QPixmap warningPicture(int side, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(side, side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;
    const qreal pen = s / 16.0;

    QPainterPath triangle;
    triangle.moveTo(s / 2, pen);
    triangle.lineTo(s - pen, s - pen * 1.5);
    triangle.lineTo(pen, s - pen * 1.5);
    triangle.closeSubpath();
    painter.setPen(QPen(QColor(0x40, 0x30, 0x00), pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLinearGradient fill(0, 0, 0, s);
    fill.setColorAt(0, QColor(0xFF, 0xE0, 0x40));
    fill.setColorAt(1, QColor(0xF5, 0xB0, 0x00));
    painter.setBrush(fill);
    painter.drawPath(triangle);

    // The mark: a tapering bar and a dot, kept clear of the triangle's sloping sides.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const qreal cx = s / 2;
    QPainterPath bar;
    bar.moveTo(cx - s * 0.065, s * 0.33);
    bar.lineTo(cx + s * 0.065, s * 0.33);
    bar.lineTo(cx + s * 0.035, s * 0.66);
    bar.lineTo(cx - s * 0.035, s * 0.66);
    bar.closeSubpath();
    painter.drawPath(bar);
    painter.drawEllipse(QPointF(cx, s * 0.77), s * 0.055, s * 0.055);
    return pixmap;
}

} // namespace kqvdr
