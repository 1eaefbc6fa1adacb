#include "NumberText.h"

#include <climits>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

struct IntCase {
    const char* text;
    int expected;
};

class LeadingInt : public testing::TestWithParam<IntCase> {};

TEST_P(LeadingInt, ReadsLeadingDigitsAfterBlanksAndSign) {
    EXPECT_EQ(parseLeadingInt(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LeadingInt,
    testing::Values(IntCase{"42", 42}, IntCase{"  7", 7}, IntCase{"\t-15", -15}, IntCase{"+3", 3},
                    IntCase{"12abc", 12}, IntCase{"1.75", 1}, IntCase{"", 0}, IntCase{"abc", 0},
                    IntCase{"-", 0}, IntCase{" - 5", 0}, IntCase{"##", 0}, IntCase{"007", 7},
                    IntCase{"2147483647", INT_MAX}, IntCase{"99999999999999999999", INT_MAX},
                    IntCase{"-2147483648", INT_MIN}, IntCase{"-99999999999", INT_MIN}));

struct RoundCase {
    double value;
    int decimals;
    double expected;
};

class RoundThroughText : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundThroughText, MatchesTheFormattedText) {
    EXPECT_DOUBLE_EQ(roundToDecimals(GetParam().value, GetParam().decimals), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, RoundThroughText,
                         testing::Values(RoundCase{1.04, 1, 1.0}, RoundCase{1.06, 1, 1.1},
                                         RoundCase{0.045, 2, 0.04}, // 0.045 is below its text
                                         RoundCase{0.455, 2, 0.46}, RoundCase{-2.5, 0, -2.0},
                                         RoundCase{12.3456, 3, 12.346}, RoundCase{7.0, 0, 7.0}));

TEST(NumberText, DecimalParsingStopsAtTheFirstNonNumber) {
    EXPECT_DOUBLE_EQ(parseLeadingDecimal(" 0.45 SLM"), 0.45);
    EXPECT_DOUBLE_EQ(parseLeadingDecimal("x1"), 0.0);
    EXPECT_EQ(formatDecimal(0.05, 2), "0.05");
}

} // namespace
} // namespace kqvdr
