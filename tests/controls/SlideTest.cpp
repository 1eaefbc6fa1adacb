#include "CSlide.h"
#include "ScaleTicks.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

namespace kqvdr {
namespace {

TEST(SlideScaleTicks, LandOnExactMultiplesIncludingTheLastOne) {
    const std::vector<double> gas = ticksEvery(0.0, 2.0, 0.1);
    ASSERT_EQ(gas.size(), 21u);
    EXPECT_EQ(gas[3], 0.3);
    EXPECT_EQ(gas.back(), 2.0);

    const std::vector<double> fine = ticksEvery(0.0, 1.0, 0.05);
    ASSERT_EQ(fine.size(), 21u);
    EXPECT_EQ(fine[9], 0.45);
    EXPECT_EQ(fine.back(), 1.0);

    EXPECT_EQ(ticksEvery(30.0, 300.0, 50.0), (std::vector<double>{50, 100, 150, 200, 250, 300}));
    EXPECT_EQ(ticksEvery(300.0, 30.0, 100.0), (std::vector<double>{100, 200, 300}));
    EXPECT_EQ(ticksEvery(-1.0, 1.0, 1.0), (std::vector<double>{-1, 0, 1}));
}

TEST(SlideScaleTicks, RefuseBrokenIntervalsAndRunawayCounts) {
    EXPECT_TRUE(ticksEvery(0.0, 10.0, 0.0).empty());
    EXPECT_TRUE(ticksEvery(0.0, 10.0, -1.0).empty());
    EXPECT_TRUE(ticksEvery(0.0, 10.0, NAN).empty());
    EXPECT_TRUE(ticksEvery(0.0, INFINITY, 1.0).empty());
    EXPECT_TRUE(ticksEvery(0.0, 1e9, 1.0, 1000).empty());
}

struct NiceCase {
    double span;
    int maxTicks;
    double expected;
};

std::ostream& operator<<(std::ostream& out, const NiceCase& c) {
    return out << c.span << " in " << c.maxTicks << " -> " << c.expected;
}

class SlideNiceInterval : public testing::TestWithParam<NiceCase> {};

TEST_P(SlideNiceInterval, PicksTheSmallestRoundStepThatFits) {
    EXPECT_DOUBLE_EQ(niceTickInterval(GetParam().span, GetParam().maxTicks), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SlideNiceInterval,
                         testing::Values(NiceCase{300, 6, 50}, NiceCase{270, 5, 100},
                                         NiceCase{10, 5, 2}, NiceCase{1000, 10, 100},
                                         NiceCase{100, 4, 25}, NiceCase{0.9, 5, 0.2},
                                         NiceCase{60, 6, 10}, NiceCase{-300, 6, 50},
                                         NiceCase{0, 5, 1}, NiceCase{5, 0, 5}));

TEST(SlideNumberText, ShowsTheDecimalsOfTheIntervalAndNoNegativeZero) {
    EXPECT_EQ(decimalsForInterval(0.25), 2);
    EXPECT_EQ(decimalsForInterval(0.5), 1);
    EXPECT_EQ(decimalsForInterval(0.05), 2);
    EXPECT_EQ(decimalsForInterval(10.0), 0);
    EXPECT_EQ(decimalsForInterval(1.0 / 3.0), 6);
    EXPECT_EQ(numberText(-0.04, 1), "0.0");
    EXPECT_EQ(numberText(-0.06, 1), "-0.1");
    EXPECT_EQ(numberText(123.44, 0), "123");
}

// Pixels of the mercury's red.
int redPixels(CSlide& slide) {
    const QImage image = slide.grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 150 && c.green() < 90 && c.blue() < 90 ? 1 : 0;
        }
    }
    return count;
}

TEST(SlideWidget, FillsTheTubeInStepWithTheValueAndStopsAtTheEnds) {
    CSlide slide;
    slide.setRange(30.0, 300.0);
    slide.resize(slide.sizeHint());
    const double values[] = {0.0, 30.0, 100.0, 200.0, 300.0, 400.0};
    int counts[std::size(values)];
    for (std::size_t i = 0; i < std::size(values); ++i) {
        slide.setValue(values[i]);
        counts[i] = redPixels(slide);
    }
    EXPECT_EQ(counts[0], counts[1]); // below the scale: just the bulb
    EXPECT_LT(counts[1], counts[2]);
    EXPECT_LT(counts[2], counts[3]);
    EXPECT_LT(counts[3], counts[4]);
    EXPECT_EQ(counts[4], counts[5]); // beyond the scale: full, not overflowing
}

TEST(SlideWidget, KeepsTheValueAsWrittenAndShowsItWithDecimalsAndSuffix) {
    CSlide slide;
    slide.setRange(30.0, 220.0);
    slide.setDecimals(1);
    slide.setSuffix(QStringLiteral(" \u00B0C"));
    slide.setValue(static_cast<float>(2345 * 0.1));
    EXPECT_DOUBLE_EQ(slide.value(), static_cast<double>(static_cast<float>(234.5)));
    EXPECT_EQ(slide.valueText(), QStringLiteral("234.5 \u00B0C"));
}

TEST(SlideWidget, SizeHintLeavesRoomForTheWidestValueText) {
    CSlide slide;
    slide.setRange(0.0, 300.0);
    slide.setDecimals(1);
    slide.setSuffix(QStringLiteral(" \u00B0C"));
    const int wide = slide.fontMetrics().horizontalAdvance(QStringLiteral("300.0 \u00B0C"));
    EXPECT_GE(slide.sizeHint().width(), wide);
    EXPECT_GE(slide.sizeHint().height(), slide.fontMetrics().height() * 6);
}

} // namespace
} // namespace kqvdr
