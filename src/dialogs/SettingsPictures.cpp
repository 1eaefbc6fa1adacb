#include "SettingsPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace kqvdr {
namespace {

QPixmap blank(int side, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(side, side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QPixmap serialPortPicture(int side, qreal devicePixelRatio) {
    QPixmap pixmap = blank(side, devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;

    // Cable leaving the connector body downwards.
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), s * 0.10, Qt::SolidLine, Qt::RoundCap));
    QPainterPath cable;
    cable.moveTo(s * 0.5, s * 0.62);
    cable.cubicTo(s * 0.5, s * 0.85, s * 0.2, s * 0.8, s * 0.12, s * 0.95);
    p.drawPath(cable);

    // Metal shell: the D shape, wider at the top.
    QPainterPath shell;
    shell.moveTo(s * 0.08, s * 0.12);
    shell.lineTo(s * 0.92, s * 0.12);
    shell.lineTo(s * 0.82, s * 0.52);
    shell.lineTo(s * 0.18, s * 0.52);
    shell.closeSubpath();
    QLinearGradient metal(0, s * 0.12, 0, s * 0.52);
    metal.setColorAt(0, QColor(0xE8, 0xE8, 0xEC));
    metal.setColorAt(1, QColor(0x9A, 0x9C, 0xA4));
    p.setPen(QPen(QColor(0x50, 0x50, 0x58), s * 0.03, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(metal);
    p.drawPath(shell);

    // Pins: five above, four below.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC8, 0x9B, 0x2C));
    const qreal r = s * 0.035;
    for (int i = 0; i < 5; ++i) {
        p.drawEllipse(QPointF(s * (0.24 + 0.13 * i), s * 0.25), r, r);
    }
    for (int i = 0; i < 4; ++i) {
        p.drawEllipse(QPointF(s * (0.305 + 0.13 * i), s * 0.39), r, r);
    }

    // Moulded hood between shell and cable.
    p.setBrush(QColor(0x45, 0x45, 0x4A));
    p.drawRoundedRect(QRectF(s * 0.36, s * 0.52, s * 0.28, s * 0.12), s * 0.03, s * 0.03);
    return pixmap;
}

QPixmap vapourSensorPicture(int side, qreal devicePixelRatio) {
    QPixmap pixmap = blank(side, devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = side;

    // Vapour: three wavy strands rising from below the sensor.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x6A, 0x9F, 0xD8), s * 0.035, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal x = s * (0.32 + 0.18 * i);
        QPainterPath strand;
        strand.moveTo(x, s * 0.95);
        strand.cubicTo(x - s * 0.08, s * 0.85, x + s * 0.08, s * 0.78, x, s * 0.68);
        strand.cubicTo(x - s * 0.08, s * 0.6, x + s * 0.06, s * 0.55, x, s * 0.5);
        p.drawPath(strand);
    }

    // Sensor cell: a body with a grille and a status light.
    QLinearGradient body(0, s * 0.06, 0, s * 0.46);
    body.setColorAt(0, QColor(0x7C, 0x84, 0x90));
    body.setColorAt(1, QColor(0x44, 0x4A, 0x54));
    p.setPen(QPen(QColor(0x2A, 0x2E, 0x34), s * 0.025));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(s * 0.14, s * 0.06, s * 0.72, s * 0.40), s * 0.06, s * 0.06);
    p.setPen(QPen(QColor(0x1E, 0x22, 0x28), s * 0.03, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        const qreal x = s * (0.28 + 0.1 * i);
        p.drawLine(QPointF(x, s * 0.16), QPointF(x, s * 0.36));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3C, 0xD0, 0x5A));
    p.drawEllipse(QPointF(s * 0.74, s * 0.16), s * 0.035, s * 0.035);
    return pixmap;
}

} // namespace kqvdr
