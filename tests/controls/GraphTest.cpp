#include "CGraph.h"
#include "GraphPointBuffer.h"
#include "PlotTransform.h"

#include <QCoreApplication>
#include <QImage>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace kqvdr {
namespace {

TEST(GraphPointBuffer, PlacesPointsOneIncrementApartStartingAtZeroAfterEachClear) {
    GraphPointBuffer buffer;
    buffer.append(5.0f, 1.0, 1);
    buffer.append(6.0f, 1.0, 1);
    buffer.append(7.0f, 0.5, 1);
    ASSERT_EQ(buffer.size(), 3u);
    EXPECT_EQ(buffer.at(0).x, 0.0);
    EXPECT_EQ(buffer.at(1).x, 1.0);
    EXPECT_EQ(buffer.at(2).x, 1.5);
    EXPECT_EQ(buffer.last().y, 7.0f);

    buffer.clear();
    buffer.append(-3.0f, 1.0, 1);
    EXPECT_EQ(buffer.size(), 1u);
    EXPECT_EQ(buffer.at(0).x, 0.0);
}

TEST(GraphPointBuffer, PastCapacityDropsTheOldestAndKeepsOrder) {
    GraphPointBuffer buffer(4);
    for (int i = 0; i < 10; ++i) {
        buffer.append(static_cast<float>(i), 1.0, 1);
    }
    ASSERT_EQ(buffer.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(buffer.at(i).y, static_cast<float>(6 + i));
        EXPECT_EQ(buffer.at(i).x, static_cast<double>(6 + i));
    }
}

TEST(GraphPointBuffer, FlagZeroLiftsThePenAndBrokenIncrementsDoNotPoisonX) {
    GraphPointBuffer buffer;
    buffer.append(1.0f, 1.0, 1);
    buffer.append(2.0f, std::numeric_limits<double>::quiet_NaN(), 0);
    buffer.append(3.0f, 1.0, 1);
    EXPECT_FALSE(buffer.at(1).joined);
    EXPECT_TRUE(buffer.at(2).joined);
    EXPECT_EQ(buffer.at(1).x, 0.0);
    EXPECT_EQ(buffer.at(2).x, 1.0);
}

struct MapCase {
    double x, y;
    double px, py;
};

std::ostream& operator<<(std::ostream& out, const MapCase& c) {
    return out << '(' << c.x << ", " << c.y << ") -> (" << c.px << ", " << c.py << ')';
}

class GraphPlotTransform : public testing::TestWithParam<MapCase> {};

TEST_P(GraphPlotTransform, MapsIntoThePlotAndHoldsWildValuesNearIt) {
    // Plot 10..110 across, 20..220 down; x 0..60, y 0..100.
    const PlotTransform map(10, 20, 100, 200, 0, 60, 0, 100);
    const PlotPoint p = map.map(GetParam().x, GetParam().y);
    EXPECT_DOUBLE_EQ(p.x, GetParam().px);
    EXPECT_DOUBLE_EQ(p.y, GetParam().py);
}

constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Table, GraphPlotTransform,
                         testing::Values(MapCase{0, 0, 10, 220}, MapCase{60, 100, 110, 20},
                                         MapCase{30, 50, 60, 120},
                                         MapCase{0, 1e30, 10, -180}, // held a plot above
                                         MapCase{0, -kInf, 10, 420},
                                         MapCase{0, std::nan(""), 10, 120}));

TEST(GraphPlotTransform, AnEmptyRangePutsEverythingInTheMiddle) {
    const PlotTransform flat(0, 0, 100, 100, 0, 60, 5, 5);
    EXPECT_DOUBLE_EQ(flat.map(0, 1000).y, 50.0);
}

TEST(GraphPlotTransform, WindowScrollsOnlyOnceTheNewestPointPassesTheEnd) {
    double first = 0, last = 0;
    PlotTransform::scrolledWindow(0, 60, 60, &first, &last);
    EXPECT_EQ(first, 0.0);
    EXPECT_EQ(last, 60.0);
    PlotTransform::scrolledWindow(0, 60, 75, &first, &last);
    EXPECT_EQ(first, 15.0);
    EXPECT_EQ(last, 75.0);
}

TEST(GraphWidget, FindsTheYAxisByNameAndRangesItWithoutLosingPoints) {
    CGraph graph;
    ASSERT_NE(graph.axis(QStringLiteral("YAxis-1")), nullptr);
    EXPECT_EQ(graph.axis(QStringLiteral("YAxis-2")), nullptr);
    for (int i = 0; i < 5; ++i) {
        graph.append(static_cast<float>(i), 1.0, 1);
    }
    for (const double top : {10.0, 100.0, 1000.0}) {
        graph.axis(QStringLiteral("YAxis-1"))->setRange(0.0, top);
        EXPECT_EQ(graph.axis(QStringLiteral("YAxis-1"))->maximum(), top);
    }
    EXPECT_EQ(graph.points().size(), 5u);
    graph.clear();
    EXPECT_TRUE(graph.points().empty());
}

TEST(GraphWidget, StaysBoundedAndPaintsWithFarMorePointsThanTheProgramKeeps) {
    CGraph graph;
    graph.resize(graph.sizeHint());
    for (int i = 0; i < 100000; ++i) {
        graph.append(static_cast<float>(i % 37) * (i % 1000 == 0 ? 1e30f : 1.0f), 1.0, 1);
    }
    EXPECT_EQ(graph.points().size(), GraphPointBuffer::kDefaultCapacity);
    EXPECT_FALSE(graph.grab().isNull());
}

// Pixels in the trace colour.
int tracePixels(CGraph& graph) {
    const QImage image = graph.grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.blue() > 150 && c.red() < 80 ? 1 : 0;
        }
    }
    return count;
}

TEST(GraphWidget, ALonePointAfterAClearIsStillVisible) {
    CGraph graph;
    graph.resize(graph.sizeHint());
    EXPECT_EQ(tracePixels(graph), 0);
    graph.append(50.0f, 1.0, 1);
    EXPECT_GT(tracePixels(graph), 0);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST(GraphWidget, RepaintsOnceForABurstOfPointsAndNotAtAllForNoChange) {
    CGraph graph;
    graph.resize(graph.sizeHint());
    graph.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&graph));
    PaintCounter counter;
    graph.installEventFilter(&counter);
    QTest::qWait(50);
    counter.paints = 0;

    for (int i = 0; i < 60; ++i) {
        graph.append(static_cast<float>(i), 1.0, 1);
    }
    QTest::qWait(50);
    EXPECT_EQ(counter.paints, 1);

    counter.paints = 0;
    graph.axis(QStringLiteral("YAxis-1"))->setRange(0.0, 100.0); // the range it already has
    graph.clear();
    graph.clear();
    QTest::qWait(50);
    EXPECT_EQ(counter.paints, 1); // for the first clear only
}

} // namespace
} // namespace kqvdr
