#pragma once

#include "SpinStepper.h"

#include <QBasicTimer>
#include <QWidget>

class QLineEdit;

namespace kqvdr {

// A numeric spinner: an edit area and an up and a down arrow.
//
// The value the program writes is kept as written, even beyond the minimum and maximum: callers
// use out-of-range writes and rely on the change signal they cause. Only the operator's own
// changes (arrows, keys, wheel, typing) are held within the range; an arrow pressed at a limit
// leaves the value there, and callers that want wrap-around do it on mouseUp.
class CNumEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit CNumEdit(QWidget* parent = nullptr);
    ~CNumEdit() override;

    double value() const { return value_; }
    // Non-finite values are ignored.
    void setValue(double value);
    // The value as shown, with decimals() decimals.
    QString text() const;

    void setIncrement(double increment);
    double increment() const { return stepper_.settings.increment; }
    // The step used once an arrow or key has been held for a while.
    void setAcceleratedIncrement(double increment);
    double acceleratedIncrement() const { return stepper_.settings.acceleratedIncrement; }
    void setMinimum(double minimum);
    double minimum() const { return stepper_.settings.minimum; }
    void setMaximum(double maximum);
    double maximum() const { return stepper_.settings.maximum; }
    void setRange(double minimum, double maximum);
    // -1 (the default) shows as many decimals as the increment has.
    void setDecimals(int decimals);
    int decimals() const { return stepper_.decimals(); }

    // Without the edit area the control is just the two arrows, for use beside a field of its
    // own.
    void setEditAreaVisible(bool visible);
    bool isEditAreaVisible() const;

    QRect upArrowRect() const;
    QRect downArrowRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // On every change of the value, whether the operator or the program made it.
    void valueChanged(double value);
    // Left button pressed on an arrow, before the arrow steps; and released.
    void mouseDown();
    void mouseUp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int arrowWidth() const;
    void stepBy(int direction, bool accelerated);
    bool handleStepKey(QKeyEvent* event);
    void commitEditor();
    void showValue();
    void stopHolding();
    void settingsChanged();

    SpinStepper stepper_;
    double value_ = 0.0;
    QLineEdit* editor_;
    QBasicTimer repeat_;
    int heldDirection_ = 0; // +1 up arrow held, -1 down arrow held
    bool pointerOnHeldArrow_ = false;
    int repeats_ = 0;
    int keyRepeats_ = 0;
    int wheelRemainder_ = 0;
    int hides_ = 0;
};

} // namespace kqvdr
