#pragma once

#include <QString>
#include <QWidget>

namespace kqvdr {

// A vertical thermometer: a tube filled up to the value, a labelled scale beside it and the value
// as a number above it. Display only.
class CSlide : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue)

public:
    explicit CSlide(QWidget* parent = nullptr);

    // Values beyond the scale are kept and shown as a number; the tube is then empty or full.
    double value() const { return value_; }
    void setValue(double value);

    void setRange(double minimum, double maximum);
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }

    // 0 for either lets the scale choose an interval that fits its height.
    void setTickIntervals(double major, double minor);
    double majorTickInterval() const { return major_; }
    double minorTickInterval() const { return minor_; }

    void setDecimals(int decimals);
    int decimals() const { return decimals_; }
    void setSuffix(const QString& suffix);
    QString suffix() const { return suffix_; }
    // The number as shown above the tube, suffix included.
    QString valueText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Layout;
    Layout layout() const;
    qreal labelWidth() const;
    QString textFor(double value, int decimals) const;

    double value_ = 0.0;
    double minimum_ = 0.0;
    double maximum_ = 300.0;
    double major_ = 0.0;
    double minor_ = 0.0;
    int decimals_ = 0;
    QString suffix_;
};

} // namespace kqvdr
