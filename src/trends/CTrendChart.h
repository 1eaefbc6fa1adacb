#pragma once

#include "TrendRing.h"

#include <QPixmap>
#include <QWidget>

namespace kqvdr {

// The trends: temperatures with their setpoints, gas flow with its setpoint, and the detector
// output, each in its own band against the clock time of the chosen span. The picture is drawn
// into a cached pixmap when a sample arrives, the span changes or the size does; repaints copy
// only the exposed part of it. Long spans are drawn as the lowest and highest reading of each
// pixel column, so an 8-hour view costs no more than a 10-minute one.
class CTrendChart : public QWidget {
    Q_OBJECT
public:
    explicit CTrendChart(const TrendRing& ring, QWidget* parent = nullptr);

    void setSpanSeconds(int seconds);
    int spanSeconds() const { return span_; }
    // A sample was added to the ring.
    void sampleAdded();
    // Draws the picture into the cache now (what a repaint after a change does).
    void redraw();

    QSize sizeHint() const override { return {760, 520}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const TrendRing& ring_;
    int span_ = 600;
    QPixmap cache_;
    bool dirty_ = true;
};

} // namespace kqvdr
