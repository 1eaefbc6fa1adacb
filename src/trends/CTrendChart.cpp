#include "CTrendChart.h"

#include "ClockSeconds.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace kqvdr {
namespace {

constexpr int kLeft = 64;
constexpr int kRight = 16;
constexpr int kTop = 8;
constexpr int kBottom = 28;
constexpr int kBandGap = 10;
constexpr int kLegendHeight = 16;
// Readings further apart than this are not joined: the instrument was silent in between.
constexpr std::int64_t kGapSeconds = 5;

struct Trace {
    TrendSeries series;
    const char* name;
    QColor colour;
    bool dashed;
};

struct Band {
    const char* unit;
    double weight; // share of the height
    std::vector<Trace> traces;
};

const std::array<Band, 3> kBands = {{
    {"\u00b0C",
     0.5,
     {{TrendSeries::Evaporator, "Evaporator", QColor(200, 30, 30), false},
      {TrendSeries::EvaporatorSetpoint, "set", QColor(200, 30, 30), true},
      {TrendSeries::Nebuliser, "Nebuliser", QColor(30, 80, 210), false},
      {TrendSeries::NebuliserSetpoint, "set", QColor(30, 80, 210), true},
      {TrendSeries::Exhaust, "Exhaust", QColor(230, 130, 0), false}}},
    {"SLM",
     0.22,
     {{TrendSeries::GasFlow, "Gas flow", QColor(0, 140, 60), false},
      {TrendSeries::GasFlowSetpoint, "set", QColor(0, 140, 60), true}}},
    {"mV", 0.28, {{TrendSeries::Output, "Detector output", QColor(90, 40, 140), false}}},
}};

// Steps of 1, 2 or 5 times a power of ten, about `count` of them over the range.
double niceStep(double range, int count) {
    const double raw = range / std::max(count, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= raw) {
            return factor * power;
        }
    }
    return 10 * power;
}

int timeStep(int span) {
    for (const int step : {60, 120, 300, 600, 900, 1800, 3600, 7200}) {
        if (span / step <= 8) {
            return step;
        }
    }
    return 7200;
}

QString clockText(std::int64_t seconds) {
    const LocalTime t = localTimeAt(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(t.hour, 2, 10, QLatin1Char('0'))
        .arg(t.minute, 2, 10, QLatin1Char('0'))
        .arg(t.second, 2, 10, QLatin1Char('0'));
}

// The lowest and highest reading of each pixel column, in time order, broken at gaps.
std::vector<QPolygonF> tracePolylines(const TrendRing& ring, std::size_t first, TrendSeries series,
                                      const QRectF& plot, std::int64_t start, double perSecond,
                                      double low, double high) {
    std::vector<QPolygonF> lines(1);
    const double scale = plot.height() / (high - low);
    const auto y = [&](float v) { return plot.bottom() - (v - low) * scale; };
    int column = std::numeric_limits<int>::min();
    float lo = 0;
    float hi = 0;
    std::int64_t previous = 0;
    const auto flush = [&]() {
        if (column == std::numeric_limits<int>::min()) {
            return;
        }
        const double x = plot.left() + column;
        lines.back() << QPointF(x, y(lo));
        if (hi != lo) {
            lines.back() << QPointF(x, y(hi));
        }
    };
    for (std::size_t i = first; i < ring.size(); ++i) {
        const TrendSample& sample = ring.at(i);
        const float v = sample[series];
        if (i > first && sample.time - previous > kGapSeconds) {
            flush();
            column = std::numeric_limits<int>::min();
            lines.emplace_back();
        }
        previous = sample.time;
        const int c = static_cast<int>((sample.time - start) * perSecond);
        if (c != column) {
            flush();
            column = c;
            lo = hi = v;
        } else {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    flush();
    return lines;
}

} // namespace

CTrendChart::CTrendChart(const TrendRing& ring, QWidget* parent) : QWidget(parent), ring_(ring) {
    setObjectName(QStringLiteral("trendChart"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(480, 360);
}

void CTrendChart::setSpanSeconds(int seconds) {
    span_ = std::max(seconds, 60);
    dirty_ = true;
    update();
}

void CTrendChart::sampleAdded() {
    dirty_ = true;
    update();
}

void CTrendChart::resizeEvent(QResizeEvent* event) {
    dirty_ = true;
    QWidget::resizeEvent(event);
}

void CTrendChart::paintEvent(QPaintEvent* event) {
    if (dirty_ || cache_.size() != size() * devicePixelRatioF()) {
        redraw();
    }
    QPainter painter(this);
    const QRect exposed = event->rect();
    const qreal ratio = cache_.devicePixelRatio();
    painter.drawPixmap(exposed, cache_,
                       QRectF(exposed.topLeft() * ratio, exposed.size() * ratio).toRect());
}

void CTrendChart::redraw() {
    dirty_ = false;
    if (cache_.size() != size() * devicePixelRatioF()) {
        cache_ = QPixmap(size() * devicePixelRatioF());
        cache_.setDevicePixelRatio(devicePixelRatioF());
    }
    cache_.fill(Qt::white);
    QPainter painter(&cache_);
    painter.setRenderHint(QPainter::Antialiasing, false);

    const std::int64_t end = ring_.size() > 0 ? ring_.at(ring_.size() - 1).time : 0;
    const std::int64_t start = end - span_;
    const std::size_t first = ring_.firstAtOrAfter(start);
    const QRectF area(kLeft, kTop, width() - kLeft - kRight, height() - kTop - kBottom);
    const double perSecond = area.width() / span_;
    const int usable = static_cast<int>(area.height()) - kBandGap * (int(kBands.size()) - 1);

    double top = area.top();
    const QPen gridPen(QColor(225, 225, 225));
    for (const Band& band : kBands) {
        const QRectF bandRect(area.left(), top, area.width(), usable * band.weight);
        const QRectF plot = bandRect.adjusted(0, kLegendHeight, 0, 0);
        top = bandRect.bottom() + kBandGap;

        double low = std::numeric_limits<double>::max();
        double high = std::numeric_limits<double>::lowest();
        for (std::size_t i = first; i < ring_.size(); ++i) {
            for (const Trace& trace : band.traces) {
                const double v = ring_.at(i)[trace.series];
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
        if (low > high) {
            low = 0;
            high = 1;
        }
        const double step = niceStep(std::max(high - low, 1e-3), 4);
        low = std::floor(low / step) * step;
        high = std::max(std::ceil(high / step) * step, low + step);

        painter.setPen(gridPen);
        painter.setFont(font());
        for (double v = low; v <= high + step / 2; v += step) {
            const double y = plot.bottom() - (v - low) / (high - low) * plot.height();
            painter.setPen(gridPen);
            painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
            painter.setPen(Qt::black);
            painter.drawText(QRectF(0, y - 8, kLeft - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(v, 'g', 6));
        }
        const int tick = timeStep(span_);
        for (std::int64_t t = (start / tick + 1) * tick; t <= end; t += tick) {
            const double x = plot.left() + (t - start) * perSecond;
            painter.setPen(gridPen);
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
        painter.setPen(Qt::gray);
        painter.drawRect(plot);

        double legendX = plot.left();
        painter.drawText(QRectF(legendX, bandRect.top(), 60, kLegendHeight), Qt::AlignLeft,
                         QString::fromUtf8(band.unit));
        legendX += 40;
        for (const Trace& trace : band.traces) {
            // A cosmetic one-pixel pen: a wider one is stroked as a shape, a hundred times
            // slower over an 8-hour trace.
            QPen pen(trace.colour, 0, trace.dashed ? Qt::DashLine : Qt::SolidLine);
            painter.setPen(pen);
            painter.setClipRect(plot.adjusted(0, 0, 1, 1));
            for (const QPolygonF& line :
                 tracePolylines(ring_, first, trace.series, plot, start, perSecond, low, high)) {
                painter.drawPolyline(line);
            }
            painter.setClipping(false);
            const QString name = QString::fromUtf8(trace.name);
            painter.drawLine(QPointF(legendX, bandRect.top() + 8),
                             QPointF(legendX + 18, bandRect.top() + 8));
            painter.drawText(QRectF(legendX + 22, bandRect.top(), 140, kLegendHeight),
                             Qt::AlignLeft, name);
            legendX += 30 + painter.fontMetrics().horizontalAdvance(name);
        }
    }

    painter.setPen(Qt::black);
    const int tick = timeStep(span_);
    for (std::int64_t t = (start / tick + 1) * tick; t <= end; t += tick) {
        // Kept inside the widget: the last label may fall on the right edge.
        const double x = std::min(area.left() + (t - start) * perSecond, width() - 41.0);
        painter.drawText(QRectF(x - 40, area.bottom() + 4, 80, kBottom - 6), Qt::AlignHCenter,
                         clockText(t));
    }
    if (ring_.size() == 0) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("No readings yet"));
    }
}

} // namespace kqvdr
