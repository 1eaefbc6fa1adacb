#include "CNumEdit.h"

#include "NumberText.h"
#include "ScaleTicks.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace kqvdr {
namespace {

QPolygonF arrowHead(const QRectF& box, bool up) {
    const qreal half = std::min(box.width(), box.height() * 1.6) * 0.28;
    const QPointF c = box.center();
    const qreal rise = half * 0.6;
    if (up) {
        return QPolygonF{{c.x() - half, c.y() + rise / 2},
                         {c.x() + half, c.y() + rise / 2},
                         {c.x(), c.y() - rise}};
    }
    return QPolygonF{
        {c.x() - half, c.y() - rise / 2}, {c.x() + half, c.y() - rise / 2}, {c.x(), c.y() + rise}};
}

} // namespace

CNumEdit::CNumEdit(QWidget* parent) : QWidget(parent), editor_(new QLineEdit(this)) {
    editor_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Accept what the number parser reads: sign, digits and the decimal point of the locale the
    // program formats numbers in.
    const QString point =
        QRegularExpression::escape(QString::fromStdString(numberText(0.5, 1)).mid(1, 1));
    editor_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[+-]?[0-9]*(%1[0-9]*)?").arg(point)), editor_));
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::editingFinished, this, &CNumEdit::commitEditor);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(editor_);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    showValue();
}

// The edit area loses the focus while QWidget's destructor runs, after this class is gone, and
// its editingFinished must not reach commitEditor then.
CNumEdit::~CNumEdit() {
    disconnect(editor_, nullptr, this, nullptr);
}

void CNumEdit::setValue(double value) {
    if (!std::isfinite(value) || value == value_) {
        return;
    }
    value_ = value;
    showValue();
    emit valueChanged(value_);
}

QString CNumEdit::text() const {
    return QString::fromStdString(numberText(value_, decimals()));
}

void CNumEdit::showValue() {
    editor_->setText(text());
    editor_->setModified(false);
}

void CNumEdit::settingsChanged() {
    showValue();
    updateGeometry();
}

void CNumEdit::setIncrement(double increment) {
    stepper_.settings.increment = increment;
    settingsChanged();
}

void CNumEdit::setAcceleratedIncrement(double increment) {
    stepper_.settings.acceleratedIncrement = increment;
}

void CNumEdit::setMinimum(double minimum) {
    stepper_.settings.minimum = minimum;
    updateGeometry();
}

void CNumEdit::setMaximum(double maximum) {
    stepper_.settings.maximum = maximum;
    updateGeometry();
}

void CNumEdit::setRange(double minimum, double maximum) {
    stepper_.settings.minimum = minimum;
    stepper_.settings.maximum = maximum;
    updateGeometry();
}

void CNumEdit::setDecimals(int decimals) {
    stepper_.settings.decimals = std::max(decimals, -1);
    settingsChanged();
}

void CNumEdit::setEditAreaVisible(bool visible) {
    editor_->setVisible(visible);
    setFocusProxy(visible ? editor_ : nullptr);
    updateGeometry();
    update();
}

bool CNumEdit::isEditAreaVisible() const {
    return !editor_->isHidden();
}

int CNumEdit::arrowWidth() const {
    return std::max(12, static_cast<int>(std::lround(fontMetrics().height() * 0.95)));
}

QRect CNumEdit::upArrowRect() const {
    const int w = arrowWidth();
    return {width() - w, 0, w, height() / 2};
}

QRect CNumEdit::downArrowRect() const {
    const int w = arrowWidth();
    return {width() - w, height() / 2, w, height() - height() / 2};
}

void CNumEdit::resizeEvent(QResizeEvent*) {
    editor_->setGeometry(0, 0, std::max(0, width() - arrowWidth()), height());
}

void CNumEdit::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    for (const int direction : {1, -1}) {
        const QRectF box =
            QRectF(direction > 0 ? upArrowRect() : downArrowRect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool sunken = heldDirection_ == direction && pointerOnHeldArrow_;
        const QColor face = palette().color(group, QPalette::Button);
        painter.setPen(QPen(palette().color(group, QPalette::Mid), 1.0));
        painter.setBrush(sunken ? face.darker(125) : face);
        painter.drawRoundedRect(box, 2.0, 2.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(group, QPalette::ButtonText));
        painter.drawPolygon(
            arrowHead(box.translated(sunken ? 0.5 : 0.0, sunken ? 0.5 : 0.0), direction > 0));
    }
    if (hasFocus() && !isEditAreaVisible()) {
        painter.setPen(QPen(palette().color(group, QPalette::Highlight), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

void CNumEdit::stepBy(int direction, bool accelerated) {
    setValue(stepper_.step(value_, direction, accelerated));
}

void CNumEdit::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    const int direction = upArrowRect().contains(at) ? 1 : (downArrowRect().contains(at) ? -1 : 0);
    if (direction == 0) {
        return;
    }
    if (editor_->isModified()) {
        commitEditor();
    }
    // The handler of mouseDown may look at the value before the step, and may even hide or
    // delete the control.
    QPointer<CNumEdit> self(this);
    const int hidesBefore = hides_;
    emit mouseDown();
    if (!self || !isEnabled() || hides_ != hidesBefore) {
        return;
    }
    heldDirection_ = direction;
    pointerOnHeldArrow_ = true;
    repeats_ = 0;
    stepBy(direction, false);
    repeat_.start(SpinStepper::kFirstRepeatDelayMs, this);
    update();
}

void CNumEdit::mouseMoveEvent(QMouseEvent* event) {
    if (heldDirection_ == 0) {
        return;
    }
    const QRect held = heldDirection_ > 0 ? upArrowRect() : downArrowRect();
    const bool on = held.contains(event->position().toPoint());
    if (on != pointerOnHeldArrow_) {
        pointerOnHeldArrow_ = on;
        update();
    }
}

void CNumEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || heldDirection_ == 0) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    stopHolding();
    emit mouseUp();
}

void CNumEdit::stopHolding() {
    repeat_.stop();
    heldDirection_ = 0;
    pointerOnHeldArrow_ = false;
    update();
}

void CNumEdit::timerEvent(QTimerEvent* event) {
    if (event->timerId() != repeat_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    // A modal message that opened while the press was on its way (the check of the field just
    // left, run as this control took the focus) swallowed the release: the press counts once,
    // and nothing repeats for a button that is no longer down.
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
        stopHolding();
        emit mouseUp();
        return;
    }
    repeat_.start(SpinStepper::kRepeatIntervalMs, this);
    // Like a scroll bar: the held arrow pauses while the pointer is off it.
    if (heldDirection_ != 0 && pointerOnHeldArrow_) {
        ++repeats_;
        stepBy(heldDirection_, SpinStepper::acceleratedRepeat(repeats_));
    }
}

bool CNumEdit::handleStepKey(QKeyEvent* event) {
    int direction = 0;
    bool accelerated = false;
    switch (event->key()) {
    case Qt::Key_Up:
        direction = 1;
        break;
    case Qt::Key_Down:
        direction = -1;
        break;
    case Qt::Key_PageUp:
        direction = 1;
        accelerated = true;
        break;
    case Qt::Key_PageDown:
        direction = -1;
        accelerated = true;
        break;
    default:
        return false;
    }
    keyRepeats_ = event->isAutoRepeat() ? keyRepeats_ + 1 : 0;
    if (editor_->isModified()) {
        commitEditor();
    }
    stepBy(direction, accelerated || SpinStepper::acceleratedRepeat(keyRepeats_));
    return true;
}

void CNumEdit::keyPressEvent(QKeyEvent* event) {
    if (!handleStepKey(event)) {
        QWidget::keyPressEvent(event);
    }
}

bool CNumEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && editor_->isModified()) {
            showValue();
            return true;
        }
        return handleStepKey(key);
    }
    return QWidget::eventFilter(watched, event);
}

void CNumEdit::wheelEvent(QWheelEvent* event) {
    // Only a focused spinner takes the wheel, so scrolling a form past it leaves it alone.
    if (!hasFocus() && !editor_->hasFocus()) {
        event->ignore();
        return;
    }
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ %= QWheelEvent::DefaultDeltasPerStep;
    for (int i = 0; i < std::abs(notches); ++i) {
        stepBy(notches > 0 ? 1 : -1, false);
    }
    event->accept();
}

void CNumEdit::commitEditor() {
    if (!editor_->isModified()) {
        return;
    }
    const SpinSettings& s = stepper_.settings;
    const double typed = parseLeadingDecimal(editor_->text().toStdString());
    const double kept = std::clamp(stepper_.rounded(typed), std::min(s.minimum, s.maximum),
                                   std::max(s.minimum, s.maximum));
    setValue(kept);
    showValue(); // also when the value did not change, to drop what was typed beyond the range
}

void CNumEdit::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled() && heldDirection_ != 0) {
        stopHolding();
    }
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        editor_->setGeometry(0, 0, std::max(0, width() - arrowWidth()), height());
    }
    QWidget::changeEvent(event);
}

void CNumEdit::hideEvent(QHideEvent* event) {
    ++hides_;
    if (heldDirection_ != 0) {
        stopHolding();
    }
    QWidget::hideEvent(event);
}

QSize CNumEdit::sizeHint() const {
    const int height = editor_->sizeHint().height();
    if (!isEditAreaVisible()) {
        return {arrowWidth(), height};
    }
    const SpinSettings& s = stepper_.settings;
    int widest = 0;
    for (const double v : {s.minimum, s.maximum, value_}) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(
                                      QString::fromStdString(numberText(v, decimals()))));
    }
    // The line edit's frame, its fixed inner margins and room for the cursor.
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, editor_);
    const QMargins margins = editor_->textMargins();
    const int padding = 2 * 2 + margins.left() + margins.right() + fontMetrics().averageCharWidth();
    return {widest + frame + padding + arrowWidth(), height};
}

QSize CNumEdit::minimumSizeHint() const {
    return {isEditAreaVisible() ? arrowWidth() * 3 : arrowWidth(),
            editor_->minimumSizeHint().height()};
}

} // namespace kqvdr
