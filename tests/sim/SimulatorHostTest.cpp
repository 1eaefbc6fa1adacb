#include "SimulatorHost.h"

#include "CommandTable.h"
#include "FrameReceiver.h"
#include "PosixSerialDriver.h"
#include "SendCommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace kqvdr::sim {
namespace {

// Runs the event loop until the driver has bytes waiting or the time is up.
bool waitForReply(PosixSerialDriver& driver, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (driver.IsReceiveEmpty(kChannel) == 0) {
            return true;
        }
    }
    return false;
}

TEST(SimulatorHost, ServesTheProgramsDriverFromTheEventLoop) {
    SimulatorHost host(SimulatorOptions{});
    ASSERT_TRUE(host.isOpen()) << host.errorText().toStdString();
    PosixSerialDriver driver{PortDevices(host.slavePath().toStdString())};
    ASSERT_EQ(openPortWithDefaults(driver, "COM 1"), 0);
    FrameReceiver receiver(driver);

    SendCommand(driver, 0, code(Command::RequestGasFlowResolution));
    ASSERT_TRUE(waitForReply(driver, 2000));
    ReplyFrame reply;
    ASSERT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
    EXPECT_EQ(reply.commandCode, 35);
    EXPECT_EQ(reply.words[0], 0);

    EXPECT_EQ(host.control("variant fine").toStdString(), "ok variant fine");
    SendCommand(driver, 0, code(Command::RequestGasFlowResolution));
    ASSERT_TRUE(waitForReply(driver, 2000));
    ASSERT_EQ(receiver.ReceiveFrame(reply), kReceivedData);
    EXPECT_NE(reply.words[0], 0);
}

TEST(SimulatorHost, PacedMethodTableArrivesOverSeveralPolls) {
    SimulatorOptions options;
    options.pace = true;
    SimulatorHost host(options);
    PosixSerialDriver driver{PortDevices(host.slavePath().toStdString())};
    ASSERT_EQ(openPortWithDefaults(driver, "COM 1"), 0);

    SendCommand(driver, 0, code(Command::RequestMethodTable));
    ASSERT_TRUE(waitForReply(driver, 2000));
    // One poll's worth of the line later, only part of the 272-byte reply is there.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 100) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    std::string received;
    for (int b; (b = driver.ReadByte(kChannel)) >= 0;) {
        received += static_cast<char>(b);
    }
    EXPECT_GT(received.size(), 20u);
    EXPECT_LT(received.size(), 272u);
}

} // namespace
} // namespace kqvdr::sim
