#pragma once

#include <QWidget>

namespace kqvdr {

// The form's pictures, drawn rather than loaded so that they stay sharp at any scale.
class PanelPicture : public QWidget {
public:
    enum class Kind {
        Instrument, // the detector, below the Mode group
        Sleep,      // in place of the instrument groups while the instrument sleeps
        HistoryOff, // in place of the history graph
        Trace,      // beside the history graph
    };

    explicit PanelPicture(Kind kind, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintInstrument(QPainter& painter, const QRectF& area);
    void paintSleep(QPainter& painter, const QRectF& area);
    void paintHistoryOff(QPainter& painter, const QRectF& area);
    void paintTrace(QPainter& painter, const QRectF& area);

    Kind kind_;
};

} // namespace kqvdr
