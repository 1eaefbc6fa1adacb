#include "CSlide.h"

#include "ScaleTicks.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace kqvdr {
namespace {

const QColor kMercury(200, 32, 32);

} // namespace

struct CSlide::Layout {
    QRectF valueText;
    qreal tubeX = 0; // centre line of the tube
    qreal tubeWidth = 0;
    qreal scaleTop = 0;    // y of the maximum
    qreal scaleBottom = 0; // y of the minimum
    QPointF bulbCentre;
    qreal bulbRadius = 0;
    qreal tickX = 0; // where tick marks start
    qreal majorLength = 0;
    qreal minorLength = 0;
    qreal labelX = 0;
    double major = 0;
    double minor = 0;
};

CSlide::CSlide(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

void CSlide::setValue(double value) {
    if (value == value_) {
        return;
    }
    value_ = value;
    update();
}

void CSlide::setRange(double minimum, double maximum) {
    if (minimum == minimum_ && maximum == maximum_) {
        return;
    }
    minimum_ = minimum;
    maximum_ = maximum;
    updateGeometry(); // label widths may change
    update();
}

void CSlide::setTickIntervals(double major, double minor) {
    major_ = std::isfinite(major) && major > 0.0 ? major : 0.0;
    minor_ = std::isfinite(minor) && minor > 0.0 ? minor : 0.0;
    update();
}

void CSlide::setDecimals(int decimals) {
    decimals_ = std::clamp(decimals, 0, 6);
    updateGeometry();
    update();
}

void CSlide::setSuffix(const QString& suffix) {
    suffix_ = suffix;
    updateGeometry();
    update();
}

QString CSlide::textFor(double value, int decimals) const {
    return QString::fromStdString(numberText(value, decimals));
}

QString CSlide::valueText() const {
    return textFor(value_, decimals_) + suffix_;
}

qreal CSlide::labelWidth() const {
    const QFontMetricsF metrics(font());
    const int labelDecimals = decimalsForInterval(major_ > 0.0 ? major_ : 1.0);
    return std::max(metrics.horizontalAdvance(textFor(minimum_, labelDecimals)),
                    metrics.horizontalAdvance(textFor(maximum_, labelDecimals)));
}

CSlide::Layout CSlide::layout() const {
    const QFontMetricsF metrics(font());
    const qreal line = metrics.height();
    const qreal margin = std::ceil(line / 4.0);
    Layout l;
    l.tubeWidth = std::max<qreal>(6.0, std::round(line * 0.55));
    l.bulbRadius = l.tubeWidth;
    l.majorLength = std::round(l.tubeWidth * 0.9);
    l.minorLength = std::round(l.tubeWidth * 0.5);

    const qreal gap = std::ceil(line / 5.0);
    const qreal groupWidth = 2.0 * l.bulbRadius + gap + l.majorLength + gap + labelWidth();
    const qreal left = std::max<qreal>(margin, (width() - groupWidth) / 2.0);
    l.tubeX = left + l.bulbRadius;
    l.tickX = l.tubeX + l.tubeWidth / 2.0 + gap;
    l.labelX = l.tickX + l.majorLength + gap;

    l.valueText = QRectF(0, margin, width(), line);
    l.scaleTop = l.valueText.bottom() + margin + line / 2.0;
    l.bulbCentre = QPointF(l.tubeX, height() - margin - l.bulbRadius);
    l.scaleBottom = std::max(l.scaleTop + 1.0, l.bulbCentre.y() - l.bulbRadius - line / 2.0);

    const double span = std::abs(maximum_ - minimum_);
    l.major = major_;
    if (l.major <= 0.0) {
        const int fitting = static_cast<int>((l.scaleBottom - l.scaleTop) / (line * 1.6));
        l.major = niceTickInterval(span, std::max(fitting, 1));
    }
    l.minor = minor_ > 0.0 ? minor_ : l.major / 5.0;
    return l;
}

void CSlide::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout l = layout();
    const QColor text =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);

    painter.setPen(text);
    painter.drawText(l.valueText, Qt::AlignCenter, valueText());

    const double span = maximum_ - minimum_;
    const auto yFor = [&](double v) {
        if (span == 0.0 || !std::isfinite(span)) {
            return l.scaleBottom;
        }
        const double fraction = std::clamp((v - minimum_) / span, 0.0, 1.0);
        return l.scaleBottom - fraction * (l.scaleBottom - l.scaleTop);
    };

    // Glass: the tube runs a little past the maximum and into the bulb.
    const qreal half = l.tubeWidth / 2.0;
    QPainterPath glass;
    glass.addRoundedRect(QRectF(l.tubeX - half, l.scaleTop - l.tubeWidth, l.tubeWidth,
                                l.bulbCentre.y() - l.scaleTop + l.tubeWidth),
                         half, half);
    glass.addEllipse(l.bulbCentre, l.bulbRadius, l.bulbRadius);
    glass.setFillRule(Qt::WindingFill); // tube and bulb overlap; even-odd would punch a hole
    glass = glass.simplified();
    painter.setPen(QPen(palette().color(QPalette::Dark), 1.0));
    painter.setBrush(palette().color(QPalette::Base));
    painter.drawPath(glass);

    // Mercury.
    const qreal level = std::isnan(value_) ? l.scaleBottom : yFor(value_);
    const qreal inset = std::max<qreal>(1.5, l.tubeWidth / 5.0);
    QPainterPath mercury;
    mercury.addRect(
        QRectF(l.tubeX - half + inset, level, l.tubeWidth - 2.0 * inset, l.bulbCentre.y() - level));
    mercury.addEllipse(l.bulbCentre, l.bulbRadius - inset, l.bulbRadius - inset);
    mercury.setFillRule(Qt::WindingFill);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? kMercury : palette().color(QPalette::Mid));
    painter.drawPath(mercury.simplified());

    // Scale.
    painter.setPen(QPen(text, 1.0));
    for (const double tick : ticksEvery(minimum_, maximum_, l.minor)) {
        const qreal y = std::round(yFor(tick)) + 0.5;
        painter.drawLine(QPointF(l.tickX, y), QPointF(l.tickX + l.minorLength, y));
    }
    const QFontMetricsF metrics(font());
    const int labelDecimals = decimalsForInterval(l.major);
    for (const double tick : ticksEvery(minimum_, maximum_, l.major)) {
        const qreal y = std::round(yFor(tick)) + 0.5;
        painter.drawLine(QPointF(l.tickX, y), QPointF(l.tickX + l.majorLength, y));
        const QRectF label(l.labelX, y - metrics.height() / 2.0, width() - l.labelX,
                           metrics.height());
        painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, textFor(tick, labelDecimals));
    }
}

void CSlide::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

QSize CSlide::sizeHint() const {
    const QFontMetricsF metrics(font());
    const qreal line = metrics.height();
    const qreal tube = std::max<qreal>(6.0, std::round(line * 0.55));
    const qreal scaleWidth = 2.0 * tube + 2.0 * std::ceil(line / 5.0) + std::round(tube * 0.9) +
                             labelWidth() + 2.0 * std::ceil(line / 4.0);
    const qreal valueWidth =
        std::max(metrics.horizontalAdvance(textFor(maximum_, decimals_) + suffix_),
                 metrics.horizontalAdvance(textFor(minimum_, decimals_) + suffix_)) +
        line / 2.0;
    return QSize(static_cast<int>(std::ceil(std::max(scaleWidth, valueWidth))),
                 static_cast<int>(std::ceil(line * 11.0)));
}

QSize CSlide::minimumSizeHint() const {
    const QSize hint = sizeHint();
    return {hint.width(), static_cast<int>(fontMetrics().height() * 6)};
}

} // namespace kqvdr
