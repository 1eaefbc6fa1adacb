#pragma once

#include "CGraphAxis.h"
#include "GraphPointBuffer.h"

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QWidget>

namespace kqvdr {

class PlotTransform;

// A history plot of one trace against two axes, "XAxis-1" and "YAxis-1". Each appended point
// lies xIncrement beyond the one before; once the newest point passes the x axis maximum the
// plot scrolls like a strip chart. The grid and labels are drawn once into a cached pixmap, and
// an append repaints only the new stretch of line.
class CGraph : public QWidget {
    Q_OBJECT

public:
    static inline const QString kXAxisName = QStringLiteral("XAxis-1");
    static inline const QString kYAxisName = QStringLiteral("YAxis-1");

    explicit CGraph(QWidget* parent = nullptr);

    // nullptr for a name the graph does not have.
    CGraphAxis* axis(const QString& name) const;
    QList<CGraphAxis*> axes() const { return {xAxis_, yAxis_}; }

    // flag 0 starts a new stretch of line at this point; any other value joins it to the last.
    void append(float reading, double xIncrement, unsigned char flag);
    void clear();
    const GraphPointBuffer& points() const { return points_; }

    void setTraceColour(const QColor& colour);
    QColor traceColour() const { return traceColour_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Frame {
        QRectF plot;
        double xFirst = 0;
        double xLast = 0;
    };
    Frame frame() const;
    PlotTransform transformFor(const Frame& f) const;
    void renderGrid(const Frame& f);
    void invalidateGrid();
    qreal traceWidth() const;

    CGraphAxis* xAxis_;
    CGraphAxis* yAxis_;
    GraphPointBuffer points_;
    QColor traceColour_{0, 90, 200};
    QPixmap grid_;
    bool gridValid_ = false;
    double gridXFirst_ = 0;
};

} // namespace kqvdr
