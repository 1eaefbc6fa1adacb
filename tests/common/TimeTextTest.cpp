#include "TimeText.h"

#include "ManualClock.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(TimeText, CurrentTimeIsTwoDigitsEachJoinedByColons) {
    test::ManualClock clock;
    clock.time.hour = 7;
    clock.time.minute = 5;
    clock.time.second = 9;
    EXPECT_EQ(currentTimeText(clock), "07:05:09");
}

struct ElapsedCase {
    const char* earlier;
    const char* later;
    int seconds;
    const char* text;
};

class Elapsed : public testing::TestWithParam<ElapsedCase> {};

TEST_P(Elapsed, IsLaterMinusEarlierModuloADay) {
    const auto& c = GetParam();
    const auto result = elapsedTime(c.earlier, c.later);
    EXPECT_EQ(result.seconds, c.seconds) << c.earlier << " -> " << c.later;
    EXPECT_EQ(result.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Elapsed,
    testing::Values(ElapsedCase{"18:00:00", "18:00:00", 0, "0:00:00"},
                    ElapsedCase{"18:00:00", "19:30:15", 5415, "1:30:15"},
                    ElapsedCase{"23:30:00", "00:15:00", 2700, "0:45:00"}, // across midnight
                    ElapsedCase{"18:00:01", "18:00:00", 86399, "23:59:59"},
                    ElapsedCase{"7:5:9", "07:05:10", 1, "0:00:01"},
                    ElapsedCase{"18:00", "18:01", 60, "0:01:00"}, // missing seconds read as 0
                    ElapsedCase{"", "00:00:05", 5, "0:00:05"},
                    // Refused: a field of three characters, four fields, ten characters.
                    ElapsedCase{"180:00:00", "19:00:00", -1, ""},
                    ElapsedCase{"18:00:00", "19:00:000", -1, ""},
                    ElapsedCase{"1:2:3:4", "19:00:00", -1, ""},
                    ElapsedCase{"18:00:00", "19:00:00 ", -1, ""}));

} // namespace
} // namespace kqvdr
