#include "ClockSeconds.h"
#include "InstrumentState.h"
#include "ManualClock.h"
#include "TrendRecorder.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TrendSample at(std::int64_t time) {
    TrendSample sample;
    sample.time = time;
    sample.values[0] = static_cast<float>(time);
    return sample;
}

TEST(TrendRing, KeepsTheNewestSamplesUpToItsCapacityOldestFirst) {
    TrendRing ring(3);
    for (int t = 1; t <= 5; ++t) {
        ring.push(at(t));
    }
    ASSERT_EQ(ring.size(), 3u);
    EXPECT_EQ(ring.at(0).time, 3);
    EXPECT_EQ(ring.at(2).time, 5);
}

TEST(TrendRing, FindsTheFirstSampleOfASpan) {
    TrendRing ring(4);
    for (const int t : {10, 20, 30, 40, 50}) {
        ring.push(at(t));
    }
    struct Case {
        std::int64_t from;
        std::size_t index;
    };
    for (const Case c : {Case{0, 0}, Case{20, 0}, Case{21, 1}, Case{50, 3}, Case{51, 4}}) {
        EXPECT_EQ(ring.firstAtOrAfter(c.from), c.index) << c.from;
    }
}

struct TrendWorld {
    TrendWorld() {
        clock.time = {2026, 12, 8, 9, 0, 0, 2, 60};
        state.parameters[ParameterIndex::Evaporator].measured = 603;
        state.parameters[ParameterIndex::Evaporator].setpoint = 60;
        state.parameters[ParameterIndex::GasFlow].measured = 45;
        state.fineGasResolution = true;
    }
    void run(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            for (int i = 0; i < 10; ++i) {
                recorder.tickEnded(clock.now());
            }
            clock.advanceSeconds(1);
        }
    }
    InstrumentState state;
    test::ManualClock clock;
    TrendRecorder recorder{state};
};

TEST(TrendRecorder, TakesOneSampleASecondInDisplayUnitsStampedWithLocalTime) {
    TrendWorld world;
    world.run(TrendRecorder::kSettleSeconds + 3);
    const TrendRing& ring = world.recorder.ring();
    ASSERT_EQ(ring.size(), 3u);
    EXPECT_EQ(ring.at(0).time, localSeconds({2026, 12, 8, 9, 0, 3, 2, 60}));
    EXPECT_EQ(ring.at(2).time - ring.at(0).time, 2);
    EXPECT_EQ(localTimeAt(ring.at(2).time).second, 5);
    EXPECT_FLOAT_EQ(ring.at(0)[TrendSeries::Evaporator], 60.3f);
    EXPECT_FLOAT_EQ(ring.at(0)[TrendSeries::EvaporatorSetpoint], 60.0f);
    EXPECT_FLOAT_EQ(ring.at(0)[TrendSeries::GasFlow], 0.45f);
}

// Before the first readings arrive, and just after a silence, the table holds zeros or stale
// values that would draw as spikes.
TEST(TrendRecorder, WaitsForTheInstrumentToAnswerAFewSecondsBeforeSampling) {
    TrendWorld world;
    world.run(TrendRecorder::kSettleSeconds + 2); // samples at 09:00:03 and 04
    world.state.watchdogCount = world.state.watchdogLimit;
    world.run(5); // silent from 05 to 09
    world.state.watchdogCount = 0;
    world.run(TrendRecorder::kSettleSeconds + 1); // answering again from 10: a sample at 13
    const TrendRing& ring = world.recorder.ring();
    ASSERT_EQ(ring.size(), 3u);
    EXPECT_EQ(ring.at(0).time, localSeconds({2026, 12, 8, 9, 0, 3, 2, 60}));
    EXPECT_EQ(ring.at(2).time - ring.at(1).time, 9);
}

TEST(TrendRecorder, HoldsEightHoursAndNoMore) {
    TrendWorld world;
    world.run(8 * 3600 + 50);
    const TrendRing& ring = world.recorder.ring();
    EXPECT_EQ(ring.size(), 8u * 3600u);
    EXPECT_EQ(ring.at(ring.size() - 1).time - ring.at(0).time, 8 * 3600 - 1);
}

TEST(ClockSeconds, DateArithmeticRoundTripsAcrossMonthsYearsAndLeapDays) {
    for (const LocalTime t : {LocalTime{1970, 1, 1, 0, 0, 0}, LocalTime{2024, 2, 29, 23, 59, 59},
                              LocalTime{2026, 12, 31, 12, 0, 1}, LocalTime{2100, 3, 1, 1, 2, 3}}) {
        const LocalTime back = localTimeAt(localSeconds(t));
        EXPECT_EQ(std::tie(back.year, back.month, back.day, back.hour, back.minute, back.second),
                  std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second));
    }
    EXPECT_EQ(localSeconds({2024, 3, 1, 0, 0, 0}) - localSeconds({2024, 2, 28, 0, 0, 0}),
              2 * 86400);
}

} // namespace
} // namespace kqvdr
