#include "FrameReceiver.h"

#include "CommandTable.h"
#include "FakeSerialDriver.h"
#include "ManualSteadyClock.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kqvdr {
namespace {

const std::string kStatus = "\x02"
                            "001100918C"
                            "\x03";

// A reply frame as the instrument builds it, with the table's data length.
std::string replyFrame(int commandCode, std::vector<std::int16_t> words) {
    std::array<char, 300> out{};
    const std::size_t length =
        BuildFrame(0, commandCode, words, commandEntry(commandCode)->replyDigits, out);
    return std::string(out.data(), length);
}

class FrameReceiverTest : public testing::Test {
protected:
    test::FakeSerialDriver driver;
    test::ManualSteadyClock clock;
    FrameReceiver receiver{driver, clock};
    ReplyFrame reply;
};

TEST_F(FrameReceiverTest, ReturnsACompleteFrameAndLeavesTheFollowingOneForTheNextCall) {
    driver.queueIncoming(kStatus + "\x02"
                                   "0000\x06"
                                   "C6"
                                   "\x03");
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
    EXPECT_EQ(reply.commandCode, 17);
    EXPECT_EQ(reply.words[0], 0x91);
    EXPECT_EQ(driver.incoming.size(), 9u);
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedAcknowledgement);
    EXPECT_EQ(reply.words[0], 6);
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivePending) << "nothing more has arrived";
}

TEST_F(FrameReceiverTest, BadChecksumEndsTheReadWithFailure) {
    driver.queueIncoming("\x02"
                         "001100918D"
                         "\x03" +
                         kStatus);
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceiveFailed);
    EXPECT_EQ(driver.incoming.size(), 12u) << "the next frame stays waiting";
}

TEST_F(FrameReceiverTest, NeverReturnsThePartOfAFrameBeforeASecondStx) {
    driver.queueIncoming("\x02"
                         "0011" +
                         kStatus);
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
    EXPECT_EQ(reply.words[0], 0x91);
}

// A frame is never waited for: whatever part has arrived is kept for a later call, as a tick
// at 9600 baud sees about 96 bytes of a reply.
TEST_F(FrameReceiverTest, APartlyArrivedFrameIsKeptUntilALaterCallFinishesIt) {
    const std::string table = replyFrame(30, std::vector<std::int16_t>(66, 7));
    const struct {
        const char* name;
        std::string frame;
        std::size_t piece;
    } cases[] = {
        {"status word a byte at a time", kStatus, 1},
        {"status word in halves", kStatus, 6},
        {"method table at a tick's worth of the line", table, 96},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> results;
        for (std::size_t at = 0; at < c.frame.size(); at += c.piece) {
            driver.queueIncoming(c.frame.substr(at, c.piece));
            results.push_back(receiver.ReceiveFrame(reply));
            EXPECT_TRUE(driver.incoming.empty()) << "everything that arrived was read";
        }
        ASSERT_FALSE(results.empty());
        EXPECT_EQ(results.back(), kReceivedData);
        results.pop_back();
        EXPECT_EQ(results, std::vector<int>(results.size(), kReceivePending));
        EXPECT_EQ(reply.wordCount, c.frame == table ? 66 : 1);
    }
}

TEST_F(FrameReceiverTest, BytesOutsideAFrameAreReadAndLeaveNothingPending) {
    driver.queueIncoming("noise\x03\x03");
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivePending);
    EXPECT_TRUE(driver.incoming.empty());
    driver.queueIncoming(kStatus);
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
}

// A device streaming bytes that never make a frame, with a backlog far beyond one tick's
// worth: the tick drops it rather than reading it over later ticks while replies wait behind.
TEST_F(FrameReceiverTest, NoiseBeyondAFramesWorthInOneTickDropsWhatIsWaiting) {
    const struct {
        std::string stream;
        const char* why;
    } cases[] = {
        {"A", "no STX at all"},
        {"\x02"
         "0011",
         "frames that restart before they end"},
        {"\x03", "ETX alone"},
        {"\x02" + std::string(280, '1'), "frames too long to be one"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        driver.incoming.clear();
        while (driver.incoming.size() < 3000) {
            driver.queueIncoming(c.stream);
        }
        driver.queueIncoming(kStatus);
        FrameReceiver::TickRead tick = receiver.startTick();
        EXPECT_EQ(receiver.ReceiveFrame(reply, tick), kReceiveFailed);
        EXPECT_TRUE(driver.incoming.empty());
        EXPECT_LE(tick.bytesRead, FrameReceiver::kNoisePerTick + c.stream.size());
    }
}

TEST_F(FrameReceiverTest, RepliesBehindLessThanAFramesWorthOfNoiseAreAllRead) {
    const std::string table = replyFrame(30, std::vector<std::int16_t>(66, 7));
    const std::string noise(FrameReceiver::kNoisePerTick / 2 - 1, 'A');
    driver.queueIncoming(noise + table + noise + kStatus);
    FrameReceiver::TickRead tick = receiver.startTick();
    EXPECT_EQ(receiver.ReceiveFrame(reply, tick), kReceivedData);
    EXPECT_EQ(reply.commandCode, 30) << "a long good frame is not counted as noise";
    EXPECT_EQ(receiver.ReceiveFrame(reply, tick), kReceivedData);
    EXPECT_EQ(reply.commandCode, 17);
}

TEST_F(FrameReceiverTest, ATickStopsReadingWhenItsTimeIsUsedUpAndTheNextGoesOn) {
    clock.stepPerRead = std::chrono::microseconds(100);
    std::string replies;
    for (int i = 0; i < 20; ++i) {
        replies += kStatus;
    }
    driver.queueIncoming(replies);
    int decoded = 0;
    int ticks = 0;
    for (; ticks < 10 && decoded < 20; ++ticks) {
        FrameReceiver::TickRead tick = receiver.startTick();
        while (receiver.ReceiveFrame(reply, tick) == kReceivedData) {
            ++decoded;
        }
    }
    EXPECT_EQ(decoded, 20) << "a frame cut off by the time limit is finished by the next tick";
    EXPECT_GT(ticks, 2);
}

} // namespace
} // namespace kqvdr
