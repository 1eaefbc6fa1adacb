#include "CGraph.h"

#include "PlotTransform.h"
#include "ScaleTicks.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace kqvdr {
namespace {

QString label(double value, int decimals) {
    return QString::fromStdString(numberText(value, decimals));
}

} // namespace

CGraph::CGraph(QWidget* parent)
    : QWidget(parent), xAxis_(new CGraphAxis(kXAxisName, 0.0, 60.0, this)),
      yAxis_(new CGraphAxis(kYAxisName, 0.0, 100.0, this)) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent); // the grid pixmap covers every pixel
    connect(xAxis_, &CGraphAxis::rangeChanged, this, &CGraph::invalidateGrid);
    connect(yAxis_, &CGraphAxis::rangeChanged, this, &CGraph::invalidateGrid);
}

CGraphAxis* CGraph::axis(const QString& name) const {
    for (CGraphAxis* axis : axes()) {
        if (axis->name() == name) {
            return axis;
        }
    }
    return nullptr;
}

void CGraph::setTraceColour(const QColor& colour) {
    traceColour_ = colour;
    update();
}

qreal CGraph::traceWidth() const {
    return std::max<qreal>(1.5, fontMetrics().height() / 10.0);
}

void CGraph::invalidateGrid() {
    gridValid_ = false;
    update();
}

CGraph::Frame CGraph::frame() const {
    const QFontMetricsF metrics(font());
    const qreal line = metrics.height();
    const qreal tick = std::ceil(line / 4.0);
    Frame f;
    PlotTransform::scrolledWindow(xAxis_->minimum(), xAxis_->maximum(),
                                  points_.empty() ? xAxis_->minimum() : points_.last().x, &f.xFirst,
                                  &f.xLast);

    const qreal top = std::ceil(line / 2.0) + 1.0;
    const qreal bottom = height() - line - tick - 2.0;
    const double yMin = yAxis_->minimum();
    const double yMax = yAxis_->maximum();
    const int yCount = std::max(1, static_cast<int>((bottom - top) / (line * 1.5)));
    const double yStep = niceTickInterval(yMax - yMin, yCount);
    const int yDecimals = decimalsForInterval(yStep);
    qreal labelWidth = 0;
    for (const double t : ticksEvery(yMin, yMax, yStep, 200)) {
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(label(t, yDecimals)));
    }
    const qreal xLabelHalf = metrics.horizontalAdvance(label(f.xLast, 0)) / 2.0 + 2.0;
    const qreal left = std::ceil(labelWidth + tick + 4.0);
    f.plot = QRectF(left, top, std::max<qreal>(1.0, width() - left - xLabelHalf),
                    std::max<qreal>(1.0, bottom - top));
    return f;
}

PlotTransform CGraph::transformFor(const Frame& f) const {
    return PlotTransform(f.plot.left(), f.plot.top(), f.plot.width(), f.plot.height(), f.xFirst,
                         f.xLast, yAxis_->minimum(), yAxis_->maximum());
}

void CGraph::renderGrid(const Frame& f) {
    const qreal ratio = devicePixelRatioF();
    grid_ = QPixmap((QSizeF(size()) * ratio).toSize());
    grid_.setDevicePixelRatio(ratio);
    grid_.fill(palette().color(QPalette::Window));

    QPainter painter(&grid_);
    painter.setFont(font());
    const QFontMetricsF metrics(font());
    const qreal line = metrics.height();
    const qreal tick = std::ceil(line / 4.0);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const QColor text = palette().color(group, QPalette::WindowText);
    const PlotTransform map = transformFor(f);

    painter.fillRect(f.plot, palette().color(group, QPalette::Base));
    QColor gridColour = palette().color(group, QPalette::Mid);
    gridColour.setAlpha(110);
    const QPen gridPen(gridColour, 1.0, Qt::DotLine);
    const QPen tickPen(text, 1.0);

    const double yMin = yAxis_->minimum();
    const double yMax = yAxis_->maximum();
    const double yStep = niceTickInterval(
        yMax - yMin, std::max(1, static_cast<int>(f.plot.height() / (line * 1.5))));
    for (const double t : ticksEvery(yMin, yMax, yStep, 200)) {
        const qreal y = std::round(map.map(f.xFirst, t).y) + 0.5;
        painter.setPen(gridPen);
        painter.drawLine(QPointF(f.plot.left(), y), QPointF(f.plot.right(), y));
        painter.setPen(tickPen);
        painter.drawLine(QPointF(f.plot.left() - tick, y), QPointF(f.plot.left(), y));
        painter.drawText(QRectF(0, y - line / 2.0, f.plot.left() - tick - 2.0, line),
                         Qt::AlignRight | Qt::AlignVCenter, label(t, decimalsForInterval(yStep)));
    }

    const qreal xLabelWidth = metrics.horizontalAdvance(label(f.xLast, 0)) + line;
    const double xStep = niceTickInterval(
        f.xLast - f.xFirst, std::max(1, static_cast<int>(f.plot.width() / (xLabelWidth * 1.5))));
    for (const double t : ticksEvery(f.xFirst, f.xLast, xStep, 200)) {
        const qreal x = std::round(map.map(t, yMin).x) + 0.5;
        painter.setPen(gridPen);
        painter.drawLine(QPointF(x, f.plot.top()), QPointF(x, f.plot.bottom()));
        painter.setPen(tickPen);
        painter.drawLine(QPointF(x, f.plot.bottom()), QPointF(x, f.plot.bottom() + tick));
        painter.drawText(QRectF(x - xLabelWidth / 2.0, f.plot.bottom() + tick, xLabelWidth, line),
                         Qt::AlignHCenter | Qt::AlignTop, label(t, decimalsForInterval(xStep)));
    }

    painter.setPen(QPen(palette().color(group, QPalette::Dark), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(f.plot.adjusted(-0.5, -0.5, 0.5, 0.5));

    gridValid_ = true;
    gridXFirst_ = f.xFirst;
}

void CGraph::append(float reading, double xIncrement, unsigned char flag) {
    const bool wasEmpty = points_.empty();
    const double previousFirst = frame().xFirst;
    points_.append(reading, xIncrement, flag);
    if (!isVisible()) {
        return;
    }
    const Frame f = frame();
    if (f.xFirst != previousFirst) {
        invalidateGrid(); // scrolled: every point and the x labels move
        return;
    }
    // Only the new stretch of line needs painting.
    const PlotTransform map = transformFor(f);
    const GraphPoint& newest = points_.last();
    const PlotPoint to = map.map(newest.x, newest.y);
    QRectF dirty(QPointF(to.x, to.y), QSizeF(0, 0));
    if (!wasEmpty && newest.joined && points_.size() >= 2) {
        const GraphPoint& before = points_.at(points_.size() - 2);
        const PlotPoint from = map.map(before.x, before.y);
        dirty = QRectF(QPointF(from.x, from.y), QPointF(to.x, to.y)).normalized();
    }
    // Room for the pen, and for the dot a lone point before this one was drawn with.
    const qreal pad = traceWidth() * 2.0 + 2.0;
    update(dirty.adjusted(-pad, -pad, pad, pad)
               .intersected(f.plot.adjusted(-pad, -pad, pad, pad))
               .toAlignedRect());
}

void CGraph::clear() {
    if (points_.empty()) {
        return;
    }
    const bool scrolled = frame().xFirst != xAxis_->minimum();
    points_.clear();
    if (scrolled) {
        invalidateGrid();
    } else {
        const qreal pad = traceWidth() * 2.0 + 2.0;
        update(frame().plot.adjusted(-pad, -pad, pad, pad).toAlignedRect());
    }
}

void CGraph::paintEvent(QPaintEvent*) {
    const Frame f = frame();
    if (!gridValid_ || gridXFirst_ != f.xFirst ||
        grid_.size() != (QSizeF(size()) * devicePixelRatioF()).toSize() ||
        grid_.devicePixelRatio() != devicePixelRatioF()) {
        renderGrid(f);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, grid_);
    if (points_.empty()) {
        return;
    }

    painter.setRenderHint(QPainter::Antialiasing);
    // A little slack so that points on the frame, such as the first one at x = 0, show whole.
    const qreal slack = traceWidth() * 1.5;
    painter.setClipRect(f.plot.adjusted(-slack, -slack, slack, slack));
    const PlotTransform map = transformFor(f);
    const qreal width = traceWidth();
    const QColor colour =
        isEnabled() ? traceColour_ : palette().color(QPalette::Disabled, QPalette::WindowText);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    QPolygonF stretch;
    const auto flush = [&] {
        if (stretch.size() == 1) {
            painter.save();
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawEllipse(stretch.front(), width * 1.2, width * 1.2);
            painter.restore();
        } else if (stretch.size() > 1) {
            painter.drawPolyline(stretch);
        }
        stretch.clear();
    };
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const GraphPoint& p = points_.at(i);
        if (!p.joined || std::isnan(p.y)) {
            flush();
        }
        if (std::isnan(p.y)) {
            continue; // a gap in the line
        }
        const PlotPoint at = map.map(p.x, p.y);
        stretch.append(QPointF(at.x, at.y));
    }
    flush();
}

void CGraph::resizeEvent(QResizeEvent*) {
    gridValid_ = false;
}

void CGraph::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::EnabledChange:
    case QEvent::StyleChange:
        invalidateGrid();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

QSize CGraph::sizeHint() const {
    const int line = fontMetrics().height();
    return {line * 22, line * 11};
}

QSize CGraph::minimumSizeHint() const {
    const int line = fontMetrics().height();
    return {line * 8, line * 5};
}

} // namespace kqvdr
