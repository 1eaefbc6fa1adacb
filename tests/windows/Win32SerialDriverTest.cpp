#include "Win32SerialDriver.h"

#include "AwaitFrame.h"
#include "FrameReceiver.h"
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
        int index;
        std::string path;
    };
    const Case cases[] = {
        {std::nullopt, 0, "\\\\.\\COM1"},
        {std::nullopt, 3, "\\\\.\\COM4"},
        {std::nullopt, 4, ""},
        {std::string("COM12"), 0, "\\\\.\\COM12"},
        {std::string("com5"), 2, "\\\\.\\com5"},
        {std::string("\\\\.\\COM7"), 1, "\\\\.\\COM7"},
        {std::string("COMX"), 0, "COMX"},
        {std::string("COM"), 0, "COM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.override.value_or("(none)") + " " + std::to_string(c.index));
        EXPECT_EQ(PortDevices(c.override).devicePath(c.index), c.path);
    }
}

TEST(Win32SerialDriverWithoutPort, AnythingButAnExistingCommunicationsPortIsRefused) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file("plain.txt"), "not a port");
    for (const std::string& device :
         {std::string("COM199"), std::string("NUL"), dir.file("plain.txt").string()}) {
        SCOPED_TRACE(device);
        Win32SerialDriver driver{PortDevices(device)};
        EXPECT_NE(openPortWithDefaults(driver, "COM 1"), 0);
        EXPECT_NE(setDefaultPortCharacteristics(driver), 0);
        EXPECT_NE(driver.ClosePort(kChannel), 0);
        EXPECT_EQ(driver.IsReceiveEmpty(kChannel), 1);
        EXPECT_EQ(driver.ReadByte(kChannel), -1);
        EXPECT_LT(driver.WriteBlock(kChannel, 1, "x"), 0);
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
    EXPECT_NE(openPortWithDefaults(*driver, "COM 5"), 0);
}

} // namespace
} // namespace kqvdr
