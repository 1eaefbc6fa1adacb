#include "CKnob.h"

#include "DialScale.h"
#include "ScaleTicks.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace kqvdr {
namespace {

const QColor kPointer(200, 32, 32);
// How far below the centre the ends of the scale reach, in radii (sin 45 degrees and a little).
constexpr qreal kBelowCentre = 0.75;

QPointF onCircle(const QPointF& centre, qreal radius, double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(radians), -radius * std::sin(radians));
}

} // namespace

struct CKnob::Layout {
    QPointF centre;
    qreal radius = 0; // outer end of the ticks
    qreal majorLength = 0;
    qreal minorLength = 0;
    qreal bodyRadius = 0;
    QSizeF label;
    QRectF valueText;
};

CKnob::CKnob(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void CKnob::setValue(double value) {
    if (!std::isfinite(value) || value == value_) {
        return;
    }
    value_ = value;
    update();
    emit valueChanged(value_);
}

void CKnob::setAxisMinimum(double minimum) {
    minimum_ = minimum;
    updateGeometry();
    update();
}

void CKnob::setAxisMaximum(double maximum) {
    maximum_ = maximum;
    updateGeometry();
    update();
}

void CKnob::setTickIntervals(double major, double minor) {
    major_ = std::isfinite(major) && major > 0.0 ? major : 0.0;
    minor_ = std::isfinite(minor) && minor > 0.0 ? minor : 0.0;
    updateGeometry();
    update();
}

void CKnob::setInteractive(bool interactive) {
    interactive_ = interactive;
    setFocusPolicy(interactive ? Qt::StrongFocus : Qt::NoFocus);
    if (!interactive && hasFocus()) {
        clearFocus();
    }
    update();
}

void CKnob::setDecimals(int decimals) {
    decimals_ = std::clamp(decimals, -1, 6);
    updateGeometry();
    update();
}

int CKnob::decimals() const {
    if (decimals_ >= 0) {
        return decimals_;
    }
    return decimalsForInterval(minor_ > 0.0 ? minor_ : major_);
}

void CKnob::setSuffix(const QString& suffix) {
    suffix_ = suffix;
    updateGeometry();
    update();
}

QString CKnob::textFor(double value, int decimals) const {
    return QString::fromStdString(numberText(value, decimals));
}

QString CKnob::valueText() const {
    return textFor(value_, decimals()) + suffix_;
}

QSizeF CKnob::labelSize() const {
    const QFontMetricsF metrics(font());
    const int labelDecimals = decimalsForInterval(major_);
    qreal widest = 0;
    for (const double tick : ticksEvery(minimum_, maximum_, major_, 200)) {
        widest = std::max(widest, metrics.horizontalAdvance(textFor(tick, labelDecimals)));
    }
    return {widest, metrics.height()};
}

CKnob::Layout CKnob::layout() const {
    const QFontMetricsF metrics(font());
    const qreal line = metrics.height();
    const qreal gap = std::ceil(line / 4.0);
    Layout l;
    l.label = labelSize();
    // Top to bottom: a label above the scale, the dial, the labels of the two ends (which sit
    // about 0.7 radius below the centre, since the scale leaves the bottom open) and the value.
    const qreal fixedHeight = 2.0 * l.label.height() + 3.0 * gap + line;
    const qreal across = (width() - 2.0 * (l.label.width() + 2.0 * gap)) / 2.0;
    const qreal down = (height() - fixedHeight) / (1.0 + kBelowCentre);
    l.radius = std::max<qreal>(8.0, std::min(across, down));
    const qreal used = fixedHeight + l.radius * (1.0 + kBelowCentre);
    const qreal top = std::max<qreal>(0.0, (height() - used) / 2.0);
    l.centre = QPointF(width() / 2.0, top + l.label.height() + gap + l.radius);
    l.majorLength = std::max<qreal>(4.0, std::round(l.radius * 0.16));
    l.minorLength = std::round(l.majorLength * 0.55);
    l.bodyRadius = l.radius - l.majorLength - gap;
    const qreal dialBottom = std::max(l.centre.y() + l.bodyRadius,
                                      l.centre.y() + l.radius * kBelowCentre + l.label.height());
    l.valueText = QRectF(0, dialBottom + gap, width(), line);
    return l;
}

void CKnob::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout l = layout();
    const DialScale scale(minimum_, maximum_);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QColor text = palette().color(group, QPalette::WindowText);

    painter.setPen(QPen(text, 1.0));
    for (const double tick : ticksEvery(minimum_, maximum_, minor_, 400)) {
        const double angle = scale.angleFor(tick);
        painter.drawLine(onCircle(l.centre, l.radius, angle),
                         onCircle(l.centre, l.radius - l.minorLength, angle));
    }

    const std::vector<double> majors = ticksEvery(minimum_, maximum_, major_, 200);
    // Labels that would run into each other are thinned out, keeping the first.
    std::size_t stride = 1;
    if (majors.size() > 1 && maximum_ != minimum_) {
        const double arcStep = l.radius * DialScale::kSweep * std::numbers::pi / 180.0 * major_ /
                               std::abs(maximum_ - minimum_);
        const double needed = std::max(l.label.width(), l.label.height()) * 1.2;
        stride = static_cast<std::size_t>(std::max(1.0, std::ceil(needed / arcStep)));
    }
    painter.setPen(QPen(text, 1.5));
    const int labelDecimals = decimalsForInterval(major_);
    for (std::size_t i = 0; i < majors.size(); ++i) {
        const double angle = scale.angleFor(majors[i]);
        painter.drawLine(onCircle(l.centre, l.radius, angle),
                         onCircle(l.centre, l.radius - l.majorLength, angle));
        if (i % stride != 0) {
            continue;
        }
        // Push the label out by half its extent in the direction it sits.
        const double radians = angle * std::numbers::pi / 180.0;
        const qreal reach = l.radius + 2.0 + std::abs(std::cos(radians)) * l.label.width() / 2.0 +
                            std::abs(std::sin(radians)) * l.label.height() / 2.0;
        const QPointF at = onCircle(l.centre, reach, angle);
        const QRectF box(at.x() - l.label.width() / 2.0, at.y() - l.label.height() / 2.0,
                         l.label.width(), l.label.height());
        painter.drawText(box, Qt::AlignCenter, textFor(majors[i], labelDecimals));
    }

    // Knob body with the light from the upper left.
    const QColor button = palette().color(group, QPalette::Button);
    QRadialGradient shade(l.centre, l.bodyRadius,
                          l.centre - QPointF(l.bodyRadius / 3.0, l.bodyRadius / 3.0));
    shade.setColorAt(0.0, button.lighter(125));
    shade.setColorAt(1.0, button.darker(130));
    painter.setBrush(shade);
    painter.setPen(QPen(palette().color(group, QPalette::Dark), 1.0));
    painter.drawEllipse(l.centre, l.bodyRadius, l.bodyRadius);

    const double angle = scale.angleFor(value_);
    painter.setPen(QPen(isEnabled() ? kPointer : text, std::max<qreal>(2.0, l.radius / 22.0),
                        Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(onCircle(l.centre, l.bodyRadius * 0.15, angle),
                     onCircle(l.centre, l.bodyRadius * 0.9, angle));

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect =
            QRectF(l.centre.x() - l.radius, l.centre.y() - l.radius, 2.0 * l.radius, 2.0 * l.radius)
                .toAlignedRect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }

    painter.setPen(text);
    painter.drawText(l.valueText, Qt::AlignCenter, valueText());
}

double CKnob::angleAt(const QPointF& position) const {
    const QPointF offset = position - layout().centre;
    return std::atan2(-offset.y(), offset.x()) * 180.0 / std::numbers::pi;
}

double CKnob::keyStep() const {
    if (minor_ > 0.0) {
        return minor_;
    }
    if (major_ > 0.0) {
        return major_;
    }
    return std::abs(maximum_ - minimum_) / 100.0;
}

void CKnob::setValueByOperator(double value) {
    setValue(DialScale(minimum_, maximum_).snapped(value, minor_));
}

void CKnob::mousePressEvent(QMouseEvent* event) {
    if (!interactive_ || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    setValueByOperator(DialScale(minimum_, maximum_).valueAt(angleAt(event->position())));
}

void CKnob::mouseMoveEvent(QMouseEvent* event) {
    if (!interactive_ || !dragging_ || !(event->buttons() & Qt::LeftButton)) {
        dragging_ = false;
        QWidget::mouseMoveEvent(event);
        return;
    }
    setValueByOperator(DialScale(minimum_, maximum_).dragTo(value_, angleAt(event->position())));
}

void CKnob::wheelEvent(QWheelEvent* event) {
    // Only a focused knob takes the wheel, so scrolling a dialog past it leaves it alone.
    if (!interactive_ || !hasFocus()) {
        event->ignore();
        return;
    }
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ %= QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0) {
        setValueByOperator(
            std::clamp(value_, std::min(minimum_, maximum_), std::max(minimum_, maximum_)) +
            notches * keyStep());
    }
    event->accept();
}

void CKnob::keyPressEvent(QKeyEvent* event) {
    if (!interactive_) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double from =
        std::clamp(value_, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
    const double page = major_ > 0.0 ? major_ : keyStep();
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        setValueByOperator(from + keyStep());
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        setValueByOperator(from - keyStep());
        break;
    case Qt::Key_PageUp:
        setValueByOperator(from + page);
        break;
    case Qt::Key_PageDown:
        setValueByOperator(from - page);
        break;
    case Qt::Key_Home:
        setValueByOperator(minimum_);
        break;
    case Qt::Key_End:
        setValueByOperator(maximum_);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CKnob::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

QSize CKnob::sizeHint() const {
    const QFontMetricsF metrics(font());
    const QSizeF label = labelSize();
    const qreal line = metrics.height();
    const qreal gap = std::ceil(line / 4.0);
    const qreal radius = std::max<qreal>(line * 2.5, 40.0);
    const qreal valueWidth =
        std::max(metrics.horizontalAdvance(textFor(maximum_, decimals()) + suffix_),
                 metrics.horizontalAdvance(textFor(minimum_, decimals()) + suffix_));
    const qreal w = std::max(2.0 * (radius + label.width() + 2.0 * gap), valueWidth + line);
    const qreal h = radius * (1.0 + kBelowCentre) + 2.0 * label.height() + 3.0 * gap + line;
    return QSize(static_cast<int>(std::ceil(w)), static_cast<int>(std::ceil(h)));
}

QSize CKnob::minimumSizeHint() const {
    const QSize hint = sizeHint();
    return {hint.width() * 2 / 3, hint.height() * 2 / 3};
}

} // namespace kqvdr
