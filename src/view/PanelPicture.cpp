#include "PanelPicture.h"

#include <QPainter>
#include <QPainterPath>

namespace kqvdr {

PanelPicture::PanelPicture(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize PanelPicture::sizeHint() const {
    switch (kind_) {
    case Kind::Instrument:
        return {170, 90};
    case Kind::Sleep:
        return {300, 200};
    case Kind::HistoryOff:
        return {260, 110};
    case Kind::Trace:
        return {40, 110};
    }
    return {100, 100};
}

void PanelPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
    switch (kind_) {
    case Kind::Instrument:
        paintInstrument(painter, area);
        break;
    case Kind::Sleep:
        paintSleep(painter, area);
        break;
    case Kind::HistoryOff:
        paintHistoryOff(painter, area);
        break;
    case Kind::Trace:
        paintTrace(painter, area);
        break;
    }
}

void PanelPicture::paintInstrument(QPainter& painter, const QRectF& area) {
    // The detector's cabinet with its display and a column fitting on the side.
    const qreal height = std::min(area.height(), area.width() * 0.55);
    const QRectF body(area.left(), area.center().y() - height / 2, area.width(), height);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, QColor(0xE8, 0xEA, 0xEE));
    shade.setColorAt(1, QColor(0xB8, 0xBE, 0xC8));
    painter.setPen(QPen(QColor(0x55, 0x5C, 0x68), 1.2));
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 6, 6);
    const QRectF display(body.left() + body.width() * 0.08, body.top() + body.height() * 0.2,
                         body.width() * 0.45, body.height() * 0.35);
    painter.setBrush(QColor(0x1E, 0x3A, 0x2E));
    painter.drawRoundedRect(display, 2, 2);
    painter.setPen(QColor(0x7C, 0xF0, 0x9C));
    QFont font = painter.font();
    font.setPixelSize(std::max(7, static_cast<int>(display.height() * 0.5)));
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(display, Qt::AlignCenter, QStringLiteral("KQ-VDR 1000"));
    painter.setPen(QPen(QColor(0x55, 0x5C, 0x68), 1.2));
    for (int i = 0; i < 3; ++i) {
        const QPointF centre(body.left() + body.width() * (0.66 + 0.1 * i),
                             body.top() + body.height() * 0.38);
        painter.setBrush(i == 0 ? QColor(0x3C, 0xB4, 0x4B) : QColor(0x9A, 0xA0, 0xAA));
        painter.drawEllipse(centre, body.height() * 0.07, body.height() * 0.07);
    }
    painter.setBrush(QColor(0x8A, 0x92, 0x9E));
    painter.drawRect(QRectF(body.left() + body.width() * 0.08, body.top() + body.height() * 0.7,
                            body.width() * 0.84, body.height() * 0.08));
}

void PanelPicture::paintSleep(QPainter& painter, const QRectF& area) {
    const qreal size = std::min(area.width(), area.height()) * 0.45;
    const QPointF centre(area.center().x(), area.center().y() - size * 0.2);
    QPainterPath moon;
    moon.addEllipse(centre, size / 2, size / 2);
    QPainterPath bite;
    bite.addEllipse(centre + QPointF(size * 0.22, -size * 0.12), size * 0.42, size * 0.42);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x4A, 0x5F, 0x9E));
    painter.drawPath(moon.subtracted(bite));
    painter.setPen(palette().color(QPalette::WindowText));
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    painter.setFont(font);
    const QRectF textArea(area.left(), centre.y() + size * 0.6, area.width(), size * 0.5);
    painter.drawText(textArea, Qt::AlignHCenter | Qt::AlignTop,
                     tr("The instrument is in Sleep mode"));
}

void PanelPicture::paintHistoryOff(QPainter& painter, const QRectF& area) {
    painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(area, 4, 4);
    QPainterPath trace;
    const int points = 24;
    for (int i = 0; i <= points; ++i) {
        const qreal x = area.left() + area.width() * (0.1 + 0.8 * i / points);
        const qreal bump = (i > 10 && i < 15) ? -0.45 * (1 - std::abs(i - 12.5) / 2.5) : 0.0;
        const qreal y = area.top() + area.height() * (0.62 + bump);
        i == 0 ? trace.moveTo(x, y) : trace.lineTo(x, y);
    }
    painter.setPen(QPen(palette().color(QPalette::Mid), 1.5));
    painter.drawPath(trace);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area.adjusted(0, 0, 0, -4), Qt::AlignHCenter | Qt::AlignBottom,
                     tr("Tick \"View Output History\" to chart the output"));
}

void PanelPicture::paintTrace(QPainter& painter, const QRectF& area) {
    // A small legend: the trace colour and the unit.
    painter.setPen(QPen(QColor(0x1F, 0x6F, 0xD1), 2));
    const qreal y = area.top() + 12;
    painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRectF(area.left(), y + 4, area.width(), 20), Qt::AlignHCenter,
                     QStringLiteral("mV"));
}

} // namespace kqvdr
