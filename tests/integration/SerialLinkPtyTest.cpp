#include "AwaitFrame.h"
#include "FrameReceiver.h"
#include "PosixSerialDriver.h"
#include "PseudoTerminal.h"
#include "SendCommand.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace kqvdr {
namespace {

using namespace std::chrono_literals;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class SerialLinkPty : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(openPortWithDefaults(driver, 2), 0);
        ASSERT_EQ(setDefaultPortCharacteristics(driver), 0);
    }

    test::PseudoTerminal instrument;
    PosixSerialDriver driver{PortDevices(instrument.slavePath())};
    FrameReceiver receiver{driver};
    ReplyFrame reply;
};

TEST_F(SerialLinkPty, ReceivesAFrameWrittenInPiecesWithGarbageAround) {
    std::thread writer([this] {
        for (const char* piece : {"\x7fgarbage\x03",
                                  "\x02"
                                  "00",
                                  "11", "0091", "8C\x03", "tail"}) {
            instrument.write(piece);
            std::this_thread::sleep_for(30ms);
        }
    });
    const int result = awaitFrame(receiver, driver, reply, 5s);
    writer.join();

    EXPECT_EQ(result, kReceivedData);
    EXPECT_EQ(reply.commandCode, 17);
    ASSERT_EQ(reply.wordCount, 1);
    EXPECT_EQ(reply.words[0], 0x0091);
}

TEST_F(SerialLinkPty, CommandFramesReachTheOtherEndUnchanged) {
    const std::int16_t method[] = {3, 40, 35, 30, 15, 0, 1};
    SendCommand(driver, 5, 31, method);
    SendCommand(driver, 0, 17);
    EXPECT_EQ(instrument.read(500), "\x02"
                                    "051F000300280023001E000F000000015B"
                                    "\x03"
                                    "\x02"
                                    "0011C2"
                                    "\x03");
}

// The receiver never waits for the rest of a frame; the next read finishes it.
TEST_F(SerialLinkPty, ABrokenOffFrameReturnsAtOnceAndALaterReadFinishesIt) {
    instrument.write("\x02"
                     "001100");
    std::this_thread::sleep_for(50ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceivePending);
    EXPECT_LT(secondsSince(start), 0.05);

    instrument.write("918C\x03");
    EXPECT_EQ(awaitFrame(receiver, driver, reply, 5s), kReceivedData);
    EXPECT_EQ(reply.words[0], 0x0091);
}

// A device on the chosen port that streams without ever sending a frame (about 1 kB/s, the
// speed of a 9600-baud line) costs each read only what has arrived.
TEST_F(SerialLinkPty, AStreamOfBytesWithoutAFrameNeverHoldsARead) {
    std::atomic<bool> streaming{true};
    std::thread device([&] {
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (streaming && std::chrono::steady_clock::now() < end) {
            instrument.write("AAAAAAAAAA");
            std::this_thread::sleep_for(10ms);
        }
    });
    double longest = 0;
    for (int read = 0; read < 30; ++read) {
        std::this_thread::sleep_for(30ms);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_NE(receiver.ReceiveFrame(reply), kReceivedData);
        longest = std::max(longest, secondsSince(start));
    }
    streaming = false;
    device.join();
    // A few milliseconds each; the bound leaves room for a loaded machine.
    EXPECT_LT(longest, 0.1);
}

TEST_F(SerialLinkPty, VanishedDeviceIsClosedOnceAndReadsNothing) {
    instrument.close();
    EXPECT_EQ(driver.IsReceiveEmpty(kChannel), 1);
    EXPECT_TRUE(driver.deviceVanished());
    EXPECT_EQ(driver.ReadByte(kChannel), -1);
    EXPECT_LT(driver.WriteBlock(kChannel, 3, "abc"), 0);
    EXPECT_EQ(driver.ClosePort(kChannel), 0);
}

TEST_F(SerialLinkPty, OnlyChannelZeroWorks) {
    instrument.write("x");
    EXPECT_EQ(driver.IsReceiveEmpty(1), 1);
    EXPECT_EQ(driver.ReadByte(1), -1);
    EXPECT_NE(driver.SetPortCharacteristics(1, 8, 0, 3, 0, 4), 0);
    EXPECT_NE(driver.ClosePort(1), 0);
    EXPECT_EQ(driver.ReadByte(kChannel), 'x');
}

TEST(SerialPortDriver, OpeningAMissingDeviceFails) {
    PosixSerialDriver driver{PortDevices(std::string("/nonexistent/tty"))};
    EXPECT_NE(openPortWithDefaults(driver, 0), 0);
    EXPECT_NE(setDefaultPortCharacteristics(driver), 0);
    EXPECT_NE(driver.ClosePort(kChannel), 0);
}

TEST(SerialPortDriver, AFileThatIsNotATerminalIsRefused) {
    PosixSerialDriver driver{PortDevices(std::string("/dev/null"))};
    EXPECT_NE(openPortWithDefaults(driver, 0), 0);
}

TEST(SerialPortDriver, APortAlreadyHeldByAnotherDriverIsRefused) {
    test::PseudoTerminal instrument;
    PosixSerialDriver first{PortDevices(instrument.slavePath())};
    PosixSerialDriver second{PortDevices(instrument.slavePath())};
    ASSERT_EQ(openPortWithDefaults(first, 0), 0);
    EXPECT_NE(openPortWithDefaults(second, 0), 0);
    EXPECT_EQ(first.ClosePort(kChannel), 0);
    EXPECT_EQ(openPortWithDefaults(second, 0), 0);
}

TEST(SerialPortDriver, PortIndexOutsideOneToFourFails) {
    test::PseudoTerminal instrument;
    PosixSerialDriver driver{PortDevices(instrument.slavePath())};
    EXPECT_NE(openPortWithDefaults(driver, 4), 0);
    EXPECT_NE(openPortWithDefaults(driver, -1), 0);
}

} // namespace
} // namespace kqvdr
