#include "WindowsSleepInhibitor.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace kqvdr::test {
namespace {

// The thread's execution state as Windows keeps it. Asking without ES_CONTINUOUS only restarts
// the idle timer and leaves a continuous state alone, so it is safe to look with.
EXECUTION_STATE executionState() {
    return SetThreadExecutionState(ES_SYSTEM_REQUIRED);
}

TEST(WindowsSleepInhibitor, KeepsTheSystemButNotTheDisplayAwakeUntilReleased) {
    SetThreadExecutionState(ES_CONTINUOUS);
    {
        WindowsSleepInhibitor inhibitor;
        inhibitor.hold();
        inhibitor.hold();
        EXPECT_EQ(executionState(),
                  static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));

        inhibitor.release();
        EXPECT_EQ(executionState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));

        inhibitor.hold();
        EXPECT_EQ(executionState(),
                  static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
    }
    EXPECT_EQ(executionState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS))
        << "going away releases";
}

} // namespace
} // namespace kqvdr::test
