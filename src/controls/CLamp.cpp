#include "CLamp.h"

#include "WindowsColour.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

namespace kqvdr {

CLamp::CLamp(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CLamp::setOn(bool on) {
    if (on == on_) {
        return; // the poll sets lamps ten times a second; only changes repaint
    }
    on_ = on;
    update();
}

void CLamp::setOnColour(std::uint32_t windowsColour) {
    const RgbColour rgb = rgbFromWindowsColour(windowsColour);
    setOnColour(QColor(rgb.red, rgb.green, rgb.blue));
}

void CLamp::setOnColour(const QColor& colour) {
    const QColor opaque = colour.toRgb();
    if (opaque == onColour_) {
        return;
    }
    onColour_ = opaque;
    update();
}

QColor CLamp::shownColour() const {
    if (on_) {
        return onColour_;
    }
    const RgbColour dark = unlitShade({static_cast<std::uint8_t>(onColour_.red()),
                                       static_cast<std::uint8_t>(onColour_.green()),
                                       static_cast<std::uint8_t>(onColour_.blue())});
    return {dark.red, dark.green, dark.blue};
}

QSize CLamp::sizeHint() const {
    const int side = fontMetrics().height() + 6;
    return {side, side};
}

QSize CLamp::minimumSizeHint() const {
    return {8, 8};
}

void CLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const qreal side = std::min(width(), height());
    const qreal rim = std::max<qreal>(1.0, side / 14.0);
    const QRectF body((width() - side) / 2.0 + rim, (height() - side) / 2.0 + rim, side - 2.0 * rim,
                      side - 2.0 * rim);
    const QColor base = shownColour();

    // A soft highlight up and to the left makes the lamp read as a lens, lit or not.
    QRadialGradient shade(body.center(), body.width() / 2.0,
                          body.center() - QPointF(body.width() / 5.0, body.height() / 5.0));
    if (on_) {
        shade.setColorAt(0.0, base.lighter(170));
        shade.setColorAt(0.55, base);
        shade.setColorAt(1.0, base.darker(135));
    } else {
        shade.setColorAt(0.0, base.lighter(135));
        shade.setColorAt(1.0, base.darker(125));
    }
    painter.setBrush(shade);
    painter.setPen(QPen(palette().color(QPalette::Shadow), rim));
    painter.drawEllipse(body);
}

} // namespace kqvdr
