#include "FrameReceiver.h"
#include "PosixSerialDriver.h"
#include "PseudoTerminal.h"
#include "SendCommand.h"
#include "SystemClock.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <gtest/gtest.h>
#include <thread>

namespace kqvdr {
namespace {

using namespace std::chrono_literals;

double processCpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

class SerialLinkPty : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(openPortWithDefaults(driver, 2), 0);
        ASSERT_EQ(setDefaultPortCharacteristics(driver), 0);
    }

    test::PseudoTerminal instrument;
    PosixSerialDriver driver{PortDevices(instrument.slavePath())};
    SystemClock clock;
    FrameReceiver receiver{driver, clock, driver};
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
    // Wait for the first byte as the poll would, then read the frame.
    while (driver.IsReceiveEmpty(kChannel) != 0) {
        driver.WaitForReceive(10ms);
    }
    const int result = receiver.ReceiveFrame(reply);
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

TEST_F(SerialLinkPty, BrokenFrameEndsWithinOneToTwoSecondsWithoutBusyWaiting) {
    instrument.write("\x02"
                     "001100");
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = processCpuSeconds();

    EXPECT_EQ(receiver.ReceiveFrame(reply), kReceiveFailed);

    const double cpu = processCpuSeconds() - cpuStart;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(wall, 0.9);
    EXPECT_LE(wall, 2.2);
    // A spinning receiver would burn the whole wait; sleeping on the port costs a few percent.
    EXPECT_LT(cpu, 0.25 * wall) << "cpu " << cpu << " s over " << wall << " s";
}

// A device on the chosen port that streams without ever sending a frame (about 1 kB/s, the
// speed of a 9600-baud line) must not hold the poll: each read ends as a failed one.
TEST_F(SerialLinkPty, AStreamOfBytesWithoutAFrameEndsTheReadWithinASecond) {
    std::atomic<bool> streaming{true};
    std::thread device([&] {
        const auto end = std::chrono::steady_clock::now() + 10s;
        while (streaming && std::chrono::steady_clock::now() < end) {
            instrument.write("AAAAAAAAAA");
            std::this_thread::sleep_for(10ms);
        }
    });
    for (int read = 0; read < 3; ++read) {
        while (driver.IsReceiveEmpty(kChannel) != 0) {
            driver.WaitForReceive(10ms);
        }
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(receiver.ReceiveFrame(reply), kReceiveFailed);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(wall, 1.5) << "read " << read;
        driver.ResetReceive(kChannel);
    }
    streaming = false;
    device.join();
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
