#include "AwaitFrame.h"
#include "FrameReceiver.h"
#include "ManualSteadyClock.h"
#include "PosixSerialDriver.h"
#include "PseudoTerminal.h"
#include "SendCommand.h"
#include "TemporaryDirectory.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
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
        ASSERT_EQ(openPortWithDefaults(driver, "COM 3"), 0);
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

// One failed read is retried (an adapter may hiccup); the second in a row closes the device.
TEST_F(SerialLinkPty, VanishedDeviceIsClosedAtTheSecondFailureAndReadsNothing) {
    instrument.close();
    EXPECT_EQ(driver.IsReceiveEmpty(kChannel), 1);
    EXPECT_FALSE(driver.deviceVanished());
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

// A port that cannot be opened says why; it stays commanded (the driver keeps trying it), so
// closing it succeeds, while the line cannot be set up on nothing.
TEST(SerialPortDriver, OpeningAMissingDeviceFailsAsNotPresent) {
    PosixSerialDriver driver{PortDevices(std::string("/nonexistent/tty"))};
    EXPECT_EQ(openPortWithDefaults(driver, "COM 1"), kPortNotPresent);
    EXPECT_TRUE(driver.deviceVanished());
    EXPECT_NE(setDefaultPortCharacteristics(driver), 0);
    EXPECT_EQ(driver.ClosePort(kChannel), 0);
    EXPECT_FALSE(driver.deviceVanished());
    EXPECT_NE(driver.ClosePort(kChannel), 0);
}

TEST(SerialPortDriver, AFileThatIsNotATerminalIsRefused) {
    PosixSerialDriver driver{PortDevices(std::string("/dev/null"))};
    EXPECT_EQ(openPortWithDefaults(driver, "COM 1"), kPortNotSerial);
}

TEST(SerialPortDriver, APortAlreadyHeldByAnotherDriverIsRefused) {
    test::PseudoTerminal instrument;
    PosixSerialDriver first{PortDevices(instrument.slavePath())};
    PosixSerialDriver second{PortDevices(instrument.slavePath())};
    ASSERT_EQ(openPortWithDefaults(first, "COM 1"), 0);
    EXPECT_EQ(openPortWithDefaults(second, "COM 1"), kPortInUse);
    EXPECT_EQ(first.ClosePort(kChannel), 0);
    EXPECT_EQ(openPortWithDefaults(second, "COM 1"), 0);
}

TEST(SerialPortDriver, OnlyATextThatNamesAPortOpens) {
    test::PseudoTerminal instrument;
    PosixSerialDriver driver{PortDevices(instrument.slavePath())};
    for (const char* port : {"COM 0", "COM 257", "com 5", "ttyS0", ""}) {
        EXPECT_NE(openPortWithDefaults(driver, port), 0) << port;
    }
    for (const char* port : {"COM 5", "COM 12", "COM 256"}) {
        EXPECT_EQ(openPortWithDefaults(driver, port), 0) << port;
    }
}

// An adapter pulled out and put back: the link it was reached by goes, and its device hangs up;
// then both come back (the new device under the old name). The driver finds it by itself
// within a second, with the line it had, and frames pass again.
TEST(SerialPortDriver, AVanishedDeviceIsReopenedOnceASecondUnderTheSameName) {
    test::TemporaryDirectory dir;
    const std::filesystem::path link = dir.path() / "ttyUSB0";
    auto instrument = std::make_unique<test::PseudoTerminal>();
    std::filesystem::create_symlink(instrument->slavePath(), link);
    test::ManualSteadyClock clock;
    PosixSerialDriver driver{PortDevices(), &clock};
    ASSERT_EQ(openPortWithDefaults(driver, link.string()), 0);
    ASSERT_EQ(setDefaultPortCharacteristics(driver), 0);

    instrument.reset();
    std::filesystem::remove(link);
    driver.IsReceiveEmpty(kChannel);
    driver.IsReceiveEmpty(kChannel);
    ASSERT_TRUE(driver.deviceVanished());
    clock.time += 1500ms;
    EXPECT_LT(driver.WriteBlock(kChannel, 1, "x"), 0) << "nothing to open yet";

    instrument = std::make_unique<test::PseudoTerminal>();
    std::filesystem::create_symlink(instrument->slavePath(), link);
    clock.time += 900ms;
    EXPECT_LT(driver.WriteBlock(kChannel, 1, "x"), 0) << "tried once a second, not at every call";
    EXPECT_TRUE(driver.deviceVanished());
    clock.time += 100ms;
    EXPECT_EQ(driver.WriteBlock(kChannel, 3, "abc"), 3);
    EXPECT_FALSE(driver.deviceVanished());
    EXPECT_EQ(instrument->read(500), "abc");
    instrument->write("z");
    driver.WaitForReceive(2s);
    EXPECT_EQ(driver.ReadByte(kChannel), 'z');
}

} // namespace
} // namespace kqvdr
