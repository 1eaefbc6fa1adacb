#include "FrameReceiver.h"

#include "FakeSerialDriver.h"
#include "ManualClock.h"
#include "PortWaiter.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

// Each idle wait moves the clock on by a fixed step, standing in for wall time passing.
class ClockAdvancingWaiter : public PortWaiter {
public:
    ClockAdvancingWaiter(test::ManualClock& clock, int waitsPerSecond)
        : clock_(clock), waitsPerSecond_(waitsPerSecond) {}

    void WaitForReceive(std::chrono::milliseconds) override {
        ++waits;
        if (waits % waitsPerSecond_ == 0) {
            clock_.advanceSeconds(1);
        }
        if (onWait) {
            onWait(waits);
        }
    }

    int waits = 0;
    std::function<void(int)> onWait;

private:
    test::ManualClock& clock_;
    int waitsPerSecond_;
};

class FrameReceiverTest : public testing::Test {
protected:
    test::FakeSerialDriver driver;
    test::ManualClock clock;
    ClockAdvancingWaiter waiter{clock, 100};
    FrameReceiver receiver{driver, clock, waiter};
    ReplyFrame reply;
};

TEST_F(FrameReceiverTest, ReturnsACompleteFrameWithoutWaiting) {
    driver.queueIncoming("\x02"
                         "001100918C"
                         "\x03");
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
    EXPECT_EQ(reply.commandCode, 17);
    EXPECT_EQ(reply.words[0], 0x91);
    EXPECT_EQ(waiter.waits, 0);
}

TEST_F(FrameReceiverTest, LeavesTheFollowingFrameForTheNextCall) {
    driver.queueIncoming("\x02"
                         "001100918C"
                         "\x03"
                         "\x02"
                         "0000\x06"
                         "C6"
                         "\x03");
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
    EXPECT_EQ(driver.incoming.size(), 9u);
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedAcknowledgement);
    EXPECT_EQ(reply.words[0], 6);
}

TEST_F(FrameReceiverTest, BadChecksumEndsTheReadWithFailure) {
    driver.queueIncoming("\x02"
                         "001100918D"
                         "\x03"
                         "\x02"
                         "001100918C"
                         "\x03");
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceiveFailed);
    EXPECT_EQ(driver.incoming.size(), 12u) << "the next frame stays waiting";
}

TEST_F(FrameReceiverTest, BrokenFrameGivesUpAtTheSecondChangeOfTheSecond) {
    driver.queueIncoming("\x02"
                         "0011009");
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceiveFailed);
    // Second noted at the first empty read; it changes after 100 and 200 waits.
    EXPECT_EQ(waiter.waits, 200);
}

TEST_F(FrameReceiverTest, SilenceLimitStartsPartWayThroughASecond) {
    clock.time.second = 30;
    waiter.waits = 60; // the first change comes 40 waits in, a fraction of a second
    driver.queueIncoming("\x02"
                         "00");
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceiveFailed);
    EXPECT_EQ(waiter.waits, 200);
}

TEST_F(FrameReceiverTest, EveryReceivedByteRestartsTheSilenceCount) {
    driver.queueIncoming("\x02"
                         "0011");
    waiter.onWait = [this](int waits) {
        // A byte trickles in just before each limit would expire; the frame completes at last.
        const std::string rest = "00918C\x03";
        const int index = waits / 150 - 1;
        if (waits % 150 == 0 && index >= 0 && index < static_cast<int>(rest.size())) {
            driver.queueIncoming(rest.substr(static_cast<std::size_t>(index), 1));
        }
    };
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
    EXPECT_EQ(reply.words[0], 0x91);
}

TEST_F(FrameReceiverTest, GarbageWithoutAFrameEndsInSilence) {
    driver.queueIncoming("noise\x03\x03");
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceiveFailed);
    EXPECT_TRUE(driver.incoming.empty());
}

TEST_F(FrameReceiverTest, NeverReturnsThePartOfAFrameBeforeASecondStx) {
    driver.queueIncoming("\x02"
                         "0011"
                         "\x02"
                         "001100918C"
                         "\x03");
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
    EXPECT_EQ(reply.words[0], 0x91);
}

} // namespace
} // namespace kqvdr
