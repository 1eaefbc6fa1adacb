#include "SequenceSource.h"
#include "TestSequence.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(SuppliedTestSequence, RunsOvernightFromEighteenToSevenAndEndsInSleep) {
    const TestSequenceRead read = readTestSequence(KQVDR_SUPPLIED_DIR);
    ASSERT_EQ(read.status, ArchiveReadStatus::Ok);
    AutomationTable table;
    loadTestSteps(table, read.steps);
    EXPECT_EQ(testStartTime(table), "18:00");
    EXPECT_EQ(testEndTime(table), "07:00");
    EXPECT_EQ(read.steps[0], (AutomationEvent{"", "18:00", "RUN", "1"}));
    EXPECT_EQ(read.steps[9].eventMode, "SLEEP");
}

TEST(SequenceSourceTest, RefusesWhatTheRunnerCannotRun) {
    const std::string nine = [] {
        std::string text;
        for (int n = 0; n < 9; ++n) {
            text += "step 1" + std::to_string(n) + ":00 GAS SAVE 2\n";
        }
        return text;
    }();
    EXPECT_TRUE(parseSequenceSource(nine + "step ##:## STANDBY 1\n").errors.empty());
    EXPECT_EQ(parseSequenceSource(nine + "step ##:## STANDBY 1\n").steps[0].eventMode, "GAS SAVE");
    for (const char* bad : {"step 24:00 RUN 1\n", "step 18:00 WALK 1\n", "step 18:00 RUN 11\n",
                            "step 18:0 RUN 1\n", "stop 18:00 RUN 1\n", ""}) {
        EXPECT_FALSE(parseSequenceSource(nine + bad).errors.empty()) << bad;
    }
    EXPECT_FALSE(parseSequenceSource(nine + "step ##:## RUN 1\nstep ##:## RUN 1\n").errors.empty());
}

} // namespace
} // namespace kqvdr
