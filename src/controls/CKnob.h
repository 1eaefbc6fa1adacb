#pragma once

#include <QString>
#include <QWidget>

namespace kqvdr {

// A dial with a labelled scale, a pointer and the value as a number below it. It is a display
// by default; setInteractive(true) makes it a knob the operator turns with the mouse (press or
// drag), the wheel or the keys (arrows: a minor tick, Page Up/Down: a major tick, Home/End).
class CKnob : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit CKnob(QWidget* parent = nullptr);

    // A value beyond the axis is kept and shown as a number; the pointer rests at the end.
    // Non-finite values are ignored.
    double value() const { return value_; }
    void setValue(double value);

    void setAxisMinimum(double minimum);
    double axisMinimum() const { return minimum_; }
    void setAxisMaximum(double maximum);
    double axisMaximum() const { return maximum_; }

    // Major ticks carry labels; the operator's changes snap to minor ticks.
    void setTickIntervals(double major, double minor);
    double majorTickInterval() const { return major_; }
    double minorTickInterval() const { return minor_; }

    void setInteractive(bool interactive);
    bool isInteractive() const { return interactive_; }

    // -1 (the default) shows as many decimals as the minor tick interval has.
    void setDecimals(int decimals);
    int decimals() const;
    void setSuffix(const QString& suffix);
    QString valueText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // On every change of the value, whether the operator or the program made it.
    void valueChanged(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Layout;
    Layout layout() const;
    double angleAt(const QPointF& position) const;
    double keyStep() const;
    void setValueByOperator(double value);
    QSizeF labelSize() const;
    QString textFor(double value, int decimals) const;

    double value_ = 0.0;
    double minimum_ = 0.0;
    double maximum_ = 10.0;
    double major_ = 1.0;
    double minor_ = 0.5;
    bool interactive_ = false;
    bool dragging_ = false;
    int decimals_ = -1;
    int wheelRemainder_ = 0;
    QString suffix_;
};

} // namespace kqvdr
