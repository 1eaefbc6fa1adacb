#include "PortRevival.h"

#include "ManualSteadyClock.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using namespace std::chrono_literals;

TEST(PortRevival, OneFailureIsForgivenAndTheSecondInARowMeansGone) {
    test::ManualSteadyClock clock;
    PortRevival revival(clock);
    EXPECT_FALSE(revival.failed());
    revival.succeeded();
    EXPECT_FALSE(revival.failed()) << "a success in between starts the count again";
    EXPECT_TRUE(revival.failed());
}

TEST(PortRevival, AGoneDeviceIsTriedOnceASecond) {
    test::ManualSteadyClock clock;
    PortRevival revival(clock);
    revival.lost();
    int attempts = 0;
    for (int tick = 0; tick < 35; ++tick) { // 3.5 s of 100 ms ticks, each asking twice
        attempts += revival.attemptDue() ? 1 : 0;
        attempts += revival.attemptDue() ? 1 : 0;
        clock.time += 100ms;
    }
    EXPECT_EQ(attempts, 3);
}

} // namespace
} // namespace kqvdr
