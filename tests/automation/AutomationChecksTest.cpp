#include "AutomationChecks.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(AutomationChecks, TimesAreHoursThenMinutesAndOutOfRangeOnesAreRefused) {
    const struct {
        const char* typed;
        const char* stored; // nullptr: refused
    } cases[] = {
        {"24:00", nullptr}, {"12:60", nullptr}, {"99:99", nullptr}, {"23:59", "23:59"},
        {"00:00", "00:00"}, {"9 :5 ", "09:05"}, {"09:05", "09:05"}, {"  :  ", "00:00"},
        {"12:  ", "12:00"}, // a time with the minutes left blank is on the hour
        {"##:##", "##:##"}, {" 7:30", "07:30"},
    };
    for (const auto& c : cases) {
        const auto checked = checkedEventTime(c.typed);
        if (c.stored == nullptr) {
            EXPECT_FALSE(checked) << c.typed;
        } else {
            EXPECT_EQ(checked.value_or("refused"), c.stored) << c.typed;
        }
    }
}

TEST(AutomationChecks, MethodsAreKeptWithinOneToTen) {
    const struct {
        const char* typed;
        int method;
        bool outOfRange;
    } cases[] = {{"0", 1, true},  {"", 1, true},   {"11", 10, true}, {"99", 10, true},
                 {"1", 1, false}, {"5 ", 5, false}, {"10", 10, false}};
    for (const auto& c : cases) {
        const CheckedMethod checked = checkedEventMethod(c.typed);
        EXPECT_EQ(checked.method, c.method) << '"' << c.typed << '"';
        EXPECT_EQ(checked.outOfRange, c.outOfRange) << '"' << c.typed << '"';
    }
}

} // namespace
} // namespace kqvdr
