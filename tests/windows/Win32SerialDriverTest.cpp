#include "Win32SerialDriver.h"

#include "AwaitFrame.h"
#include "FrameReceiver.h"
#include "PortName.h"
#include "PresentPorts.h"
#include "SendCommand.h"
#include "TemporaryDirectory.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <windows.h>

namespace kqvdr {
namespace {

using namespace std::chrono_literals;

constexpr int kStatusRequest = 17;

TEST(Win32PortDevices, PortsAndOverridesBecomeDevicePaths) {
    struct Case {
        std::optional<std::string> override;
        std::string port;
        std::string path;
    };
    const Case cases[] = {
        {std::nullopt, "COM 1", "\\\\.\\COM1"},
        {std::nullopt, "COM 4", "\\\\.\\COM4"},
        {std::nullopt, "COM 12", "\\\\.\\COM12"},
        {std::nullopt, "COM 256", "\\\\.\\COM256"},
        {std::nullopt, "COM 0", ""},
        {std::nullopt, "COM 257", ""},
        {std::nullopt, "/dev/ttyUSB0", ""},
        {std::string("COM12"), "COM 1", "\\\\.\\COM12"},
        {std::string("com5"), "COM 3", "\\\\.\\com5"},
        {std::string("\\\\.\\COM7"), "COM 2", "\\\\.\\COM7"},
        {std::string("COMX"), "COM 1", "COMX"},
        {std::string("COM"), "COM 1", "COM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.override.value_or("(none)") + " " + c.port);
        EXPECT_EQ(PortDevices(c.override).devicePath(c.port), c.path);
    }
}

// What cannot be opened says why; the port stays commanded for the driver to try again, so
// closing it succeeds once, while nothing can be read, written or set up meanwhile.
TEST(Win32SerialDriverWithoutPort, AnythingButAnExistingCommunicationsPortIsRefused) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file("plain.txt"), "not a port");
    const std::pair<std::string, std::int32_t> cases[] = {
        {"COM199", kPortNotPresent},
        {"NUL", kPortNotSerial},
        {dir.file("plain.txt").string(), kPortNotSerial}};
    for (const auto& [device, failure] : cases) {
        SCOPED_TRACE(device);
        Win32SerialDriver driver{PortDevices(device)};
        EXPECT_EQ(openPortWithDefaults(driver, "COM 1"), failure);
        EXPECT_TRUE(driver.deviceVanished());
        EXPECT_NE(setDefaultPortCharacteristics(driver), 0);
        EXPECT_EQ(driver.IsReceiveEmpty(kChannel), 1);
        EXPECT_EQ(driver.ReadByte(kChannel), -1);
        EXPECT_LT(driver.WriteBlock(kChannel, 1, "x"), 0);
        EXPECT_EQ(driver.ClosePort(kChannel), 0);
        EXPECT_NE(driver.ClosePort(kChannel), 0);
    }
}

TEST(Win32PresentPorts, TheDeviceMapAndFriendlyNamesMakeOneSortedList) {
    const std::vector<PresentPort> ports =
        comPortList({"COM12", "COM3", "COM7", "COM3", "LPT1", "COM300"},
                    {{"COM7", "USB Serial Port (COM7)"},
                     {"COM3", "Communications Port (COM3)"},
                     {"COM12", "Prolific USB-to-Serial Comm Port"}});
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(presentPortLabel(ports[0]), "COM 3  Communications Port");
    EXPECT_EQ(presentPortLabel(ports[1]), "COM 7  USB Serial Port");
    EXPECT_EQ(presentPortLabel(ports[2]), "COM 12  Prolific USB-to-Serial Comm Port");
}

// Under Wine the device map holds what its mount manager made of the prefix's ports.
TEST(Win32PresentPorts, ThisComputersPortsAreComPortsInNumberOrder) {
    int last = 0;
    for (const PresentPort& port : presentSerialPorts()) {
        const int number = comPortNumber(port.port);
        EXPECT_GT(number, last) << port.port;
        last = number;
    }
}

// The tests below run against the simulated instrument, whose pseudo-terminal the test script
// maps onto a Wine COM port and names in KQVDR_MAPPED_PORT.
class Win32SerialDriverOnMappedPort : public testing::Test {
protected:
    void SetUp() override {
        const char* port = std::getenv("KQVDR_MAPPED_PORT");
        ASSERT_NE(port, nullptr) << "run through tests/windows/with-simulated-port";
        driver.emplace(PortDevices(std::string(port)));
        ASSERT_EQ(openPortWithDefaults(*driver, "COM 1"), 0);
        ASSERT_EQ(setDefaultPortCharacteristics(*driver), 0);
    }

    // Waits on the port as the poll would until the reply frame to `code` is complete.
    ReplyFrame requestAndReceive(int code) {
        SendCommand(*driver, 0, code);
        ReplyFrame reply;
        EXPECT_EQ(awaitFrame(receiver, *driver, reply, 5s), kReceivedData);
        return reply;
    }

    std::optional<Win32SerialDriver> driver;
    FrameReceiver receiver{*driver};
};

TEST_F(Win32SerialDriverOnMappedPort, LineIs9600EightNoneOneWithoutFlowControl) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(static_cast<HANDLE>(driver->nativeHandle()), &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_FALSE(dcb.fOutxDsrFlow);
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
}

TEST_F(Win32SerialDriverOnMappedPort, ReadsReturnAtOnceWhenNothingIsWaiting) {
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(driver->IsReceiveEmpty(kChannel), 1);
        EXPECT_EQ(driver->ReadByte(kChannel), -1);
    }
    driver->WaitForReceive(20ms);
    EXPECT_EQ(driver->IsReceiveEmpty(kChannel), 1);
    EXPECT_FALSE(driver->deviceVanished());
}

TEST_F(Win32SerialDriverOnMappedPort, StatusRequestIsAnsweredWithOneStatusWord) {
    const ReplyFrame reply = requestAndReceive(kStatusRequest);
    EXPECT_EQ(reply.commandCode, kStatusRequest);
    EXPECT_EQ(reply.wordCount, 1);
    EXPECT_EQ(driver->IsReceiveEmpty(kChannel), 1) << "nothing follows the reply";
}

TEST_F(Win32SerialDriverOnMappedPort, ResetReceiveKeepsTheBytesWaiting) {
    SendCommand(*driver, 0, kStatusRequest);
    while (driver->IsReceiveEmpty(kChannel) != 0) {
        driver->WaitForReceive(10ms);
    }
    EXPECT_EQ(driver->ResetReceive(kChannel), 0);
    ReplyFrame reply;
    ASSERT_EQ(awaitFrame(receiver, *driver, reply, 5s), kReceivedData);
    EXPECT_EQ(reply.commandCode, kStatusRequest);
}

TEST_F(Win32SerialDriverOnMappedPort, PortChangeClosesAndReopensTheSamePort) {
    ASSERT_EQ(driver->ClosePort(kChannel), 0);
    EXPECT_NE(driver->ClosePort(kChannel), 0) << "a closed port cannot be closed again";
    EXPECT_LT(driver->WriteBlock(kChannel, 1, "x"), 0);
    ASSERT_EQ(openPortWithDefaults(*driver, "COM 4"), 0);
    ASSERT_EQ(setDefaultPortCharacteristics(*driver), 0);
    EXPECT_EQ(requestAndReceive(kStatusRequest).commandCode, kStatusRequest);
}

TEST_F(Win32SerialDriverOnMappedPort, OnlyChannelZeroAndValidCharacteristicsWork) {
    EXPECT_NE(driver->SetPortCharacteristics(1, 8, 0, 3, 0, 4), 0);
    EXPECT_NE(driver->SetPortCharacteristics(kChannel, 9, 0, 3, 0, 4), 0);
    EXPECT_NE(driver->SetPortCharacteristics(kChannel, 8, 3, 3, 0, 4), 0);
    EXPECT_NE(driver->ClosePort(1), 0);
    EXPECT_EQ(driver->IsReceiveEmpty(1), 1);
    EXPECT_EQ(driver->ReadByte(1), -1);
    EXPECT_NE(openPortWithDefaults(*driver, "COM 0"), 0);
}

} // namespace
} // namespace kqvdr
