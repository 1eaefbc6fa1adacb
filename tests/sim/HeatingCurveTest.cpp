#include "HeatingCurve.h"

#include <gtest/gtest.h>

namespace kqvdr::sim {
namespace {

// Time for a heater to go from `from` to `to` in one-second steps.
int secondsToReach(const HeatingCurve& curve, double from, double to) {
    double temperature = from;
    int seconds = 0;
    while (temperature != to && seconds < 100000) {
        temperature = curve.step(temperature, to, 1.0);
        ++seconds;
    }
    return seconds;
}

// Where the curve itself first reaches a temperature, for comparison.
int curveSecondsBetween(const HeatingCurve& curve, double from, double to) {
    int start = -1;
    for (int t = 0; t < 5000; ++t) {
        const double y = curve.at(t);
        const bool passedFrom = from < to ? y >= from : y <= from;
        const bool passedTo = from < to ? y >= to : y <= to;
        if (start < 0 && passedFrom) {
            start = t;
        }
        if (passedTo) {
            return t - start;
        }
    }
    return -1;
}

struct CurveCase {
    const char* name;
    const HeatingCurve* curve;
    double from;
    double to;
};

class FollowsTheCurve : public testing::TestWithParam<CurveCase> {};

TEST_P(FollowsTheCurve, TakesAboutTheCurvesTime) {
    const auto& c = GetParam();
    const int expected = curveSecondsBetween(*c.curve, c.from, c.to);
    ASSERT_GT(expected, 0);
    EXPECT_NEAR(secondsToReach(*c.curve, c.from, c.to), expected, 2 + expected / 100);
}

INSTANTIATE_TEST_SUITE_P(Heaters, FollowsTheCurve,
                         testing::Values(CurveCase{"NebuliserUp", &kNebuliserHeating, 50, 120},
                                         CurveCase{"NebuliserUpHigh", &kNebuliserHeating, 100, 200},
                                         CurveCase{"EvaporatorUp", &kEvaporatorHeating, 60, 250},
                                         CurveCase{"NebuliserDown", &kNebuliserCooling, 200, 60},
                                         CurveCase{"EvaporatorDown", &kEvaporatorCooling, 300,
                                                   100}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HeatingCurve, ReachesTargetsBeyondTheCurvesEndsAndNeverOvershoots) {
    // Below the heating curve's start, past its flat top, and below the cooling curve's floor.
    EXPECT_LT(secondsToReach(kNebuliserHeating, 25, 40), 200);
    EXPECT_LT(secondsToReach(kEvaporatorHeating, 290, 300), 5000);
    EXPECT_LT(secondsToReach(kEvaporatorCooling, 40, 25), 5000);
    EXPECT_EQ(kNebuliserHeating.step(99.9, 100, 60), 100);
    EXPECT_EQ(kNebuliserCooling.step(100.1, 100, 60), 100);
}

TEST(HeatingCurve, DoesNotMoveAwayFromItsTarget) {
    EXPECT_EQ(kNebuliserHeating.step(120, 100, 1), 120);
    EXPECT_EQ(kNebuliserCooling.step(80, 100, 1), 80);
}

} // namespace
} // namespace kqvdr::sim
