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
                         "00110091");
    waiter.onWait = [this](int waits) {
        // Without the byte at 150 waits the silence noted at the start would end the read at
        // 200; with it the frame completes at 280, inside the call's own limit.
        if (waits == 150) {
            driver.queueIncoming("8");
        } else if (waits == 280) {
            driver.queueIncoming("C\x03");
        }
    };
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
    EXPECT_EQ(reply.words[0], 0x91);
}

// A device streaming bytes that never make a frame: every byte would restart the silence count.
TEST_F(FrameReceiverTest, AStreamWithoutAFrameEndsAfterAFrameAndAHalfOfBytes) {
    const struct {
        const char* stream;
        const char* why;
    } cases[] = {
        {"A", "no STX at all"},
        {"\x02"
         "0011",
         "frames that restart before they end"},
        {"\x03", "ETX alone"},
    };
    for (const auto& c : cases) {
        driver.incoming.clear();
        std::size_t fed = 0;
        const auto refill = [&] {
            for (int i = 0; i < 50; ++i) {
                driver.queueIncoming(c.stream);
                fed += std::string_view(c.stream).size();
            }
        };
        refill();
        waiter.onWait = [&](int) { refill(); };
        EXPECT_EQ(receiver.ReceiveFrame(reply), kReceiveFailed) << c.why;
        EXPECT_LE(fed - driver.incoming.size(), FrameReceiver::kMaxBytesPerCall + 1) << c.why;
    }
}

TEST_F(FrameReceiverTest, ASlowTrickleWithoutAFrameEndsAtTheCallsTimeLimit) {
    driver.queueIncoming("A");
    waiter.onWait = [this](int waits) {
        if (waits % 50 == 0) {
            driver.queueIncoming("A"); // twice a second: the silence count never runs out
        }
    };
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceiveFailed);
    EXPECT_EQ(waiter.waits, 100 * FrameReceiver::kMaxSecondChangesPerCall);
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
