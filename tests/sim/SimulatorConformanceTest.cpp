#include "CommandTable.h"
#include "FrameReceiver.h"
#include "PosixSerialDriver.h"
#include "SendCommand.h"
#include "SimulatorProcess.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace kqvdr {
namespace {

using namespace std::chrono_literals;

// The real simulator program on its pseudo-terminal, spoken to through the program's own link.
class SimulatorConformance : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(openPortWithDefaults(driver, "COM 1"), 0);
        ASSERT_EQ(setDefaultPortCharacteristics(driver), 0);
    }

    // Sends one command and collects what comes back: up to 300 ms for the first reply, then a
    // short while longer for any unexpected extra.
    std::vector<std::pair<int, ReplyFrame>> exchange(int code, std::vector<std::int16_t> data = {},
                                                     int address = 0) {
        SendCommand(driver, address, code, data);
        return collect();
    }

    std::vector<std::pair<int, ReplyFrame>> collect() {
        std::vector<std::pair<int, ReplyFrame>> replies;
        auto deadline = std::chrono::steady_clock::now() + 300ms;
        while (std::chrono::steady_clock::now() < deadline) {
            if (replies.size() == 1) {
                deadline = std::min(deadline, std::chrono::steady_clock::now() + 30ms);
            }
            if (driver.IsReceiveEmpty(kChannel) != 0) {
                driver.WaitForReceive(10ms);
                continue;
            }
            ReplyFrame reply;
            const int result = receiver.ReceiveFrame(reply);
            if (result == kReceivePending) {
                continue; // the rest of the frame is still on its way
            }
            replies.emplace_back(result, reply);
            if (result == kReceiveFailed) {
                driver.ResetReceive(kChannel);
            }
        }
        return replies;
    }

    int read(Command command) {
        const auto replies = exchange(code(command));
        EXPECT_EQ(replies.size(), 1u);
        return replies.empty() ? -9999 : replies[0].second.words[0];
    }

    test::SimulatorProcess simulator{{"--device-id", "5"}};
    PosixSerialDriver driver{PortDevices(simulator.ptyPath())};
    FrameReceiver receiver{driver};
};

TEST_F(SimulatorConformance, EveryRequestAnswersWithTheTablesLengthAndAValidChecksum) {
    for (int c = 17; c <= 35; ++c) {
        if (c == code(Command::DownloadMethod) || c == code(Command::SetVapourSensitivity)) {
            continue;
        }
        const auto replies = exchange(c);
        ASSERT_EQ(replies.size(), 1u) << "code " << c;
        // A data reply decodes only with exactly replyDigits digits and a correct checksum.
        EXPECT_EQ(replies[0].first, kReceivedData) << "code " << c;
        EXPECT_EQ(replies[0].second.commandCode, c);
        EXPECT_EQ(replies[0].second.wordCount, (commandEntry(c)->replyDigits + 3) / 4);
    }
}

TEST_F(SimulatorConformance, SetCommandsAreAcknowledgedWithOneCharacter) {
    for (int c : {0, 7, 8, 9, 14, 15, 16, 31, 34}) {
        std::vector<std::int16_t> data{1, 50, 40, 50, 12, 0, 1};
        if (c == code(Command::SetDeviceId)) {
            data = {5};
        }
        const auto replies = exchange(c, data, 5);
        ASSERT_EQ(replies.size(), 1u) << "code " << c;
        EXPECT_EQ(replies[0].first, kReceivedAcknowledgement) << "code " << c;
    }
}

TEST_F(SimulatorConformance, AnswersOwnIdentificationAndAddressZeroButNotOthers) {
    EXPECT_EQ(exchange(17, {}, 5).size(), 1u);
    EXPECT_EQ(exchange(17, {}, 0).size(), 1u);
    EXPECT_EQ(exchange(17, {}, 6).size(), 0u);
    EXPECT_EQ(read(Command::RequestDeviceId), 5);
}

TEST_F(SimulatorConformance, StatusWordFollowsModeHeaterAndAutozero) {
    exchange(code(Command::SetMode), {3});
    exchange(code(Command::HeaterOn));
    exchange(code(Command::Autozero));
    int status = read(Command::RequestStatus);
    EXPECT_EQ((status >> 4) & 7, 3);
    EXPECT_TRUE(status & 0x8);
    EXPECT_TRUE(status & 0x4);
    exchange(code(Command::HeaterOff));
    std::this_thread::sleep_for(3200ms);
    status = read(Command::RequestStatus);
    EXPECT_FALSE(status & 0x8);
    EXPECT_FALSE(status & 0x4) << "autozero ends after about three seconds";
}

TEST_F(SimulatorConformance, DownloadedMethodComesBackInTheMethodTable) {
    exchange(code(Command::DownloadMethod), {7, 222, 111, 99, 18, 3, 2});
    const auto replies = exchange(code(Command::RequestMethodTable));
    ASSERT_EQ(replies.size(), 1u);
    ASSERT_EQ(replies[0].second.wordCount, 66);
    const auto& w = replies[0].second.words;
    EXPECT_EQ(std::vector<std::int16_t>(w.begin() + 42, w.begin() + 48),
              (std::vector<std::int16_t>{222, 111, 99, 18, 3, 2}));
}

TEST_F(SimulatorConformance, FaultGoesThroughErrorModeAndFaultBitUntilCleared) {
    exchange(code(Command::SetMode), {1});
    EXPECT_EQ(simulator.command("fault TC"), "ok fault TC");
    EXPECT_EQ((read(Command::RequestStatus) >> 4) & 7, 4);
    EXPECT_EQ(read(Command::RequestFaultWord), 1 << 11);
    exchange(code(Command::ClearFault));
    EXPECT_EQ(read(Command::RequestFaultWord), 0);
    EXPECT_EQ((read(Command::RequestStatus) >> 4) & 7, 0);
}

TEST_F(SimulatorConformance, SilenceGarblingAndNoiseReachTheLine) {
    simulator.command("silent on");
    EXPECT_TRUE(exchange(17).empty());
    simulator.command("silent off");
    EXPECT_EQ(exchange(17).size(), 1u);

    simulator.command("garble 1");
    auto replies = exchange(17);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].first, kReceiveFailed);
    EXPECT_EQ(exchange(17).at(0).first, kReceivedData);

    simulator.command("noise 30");
    replies = exchange(17);
    ASSERT_FALSE(replies.empty());
    EXPECT_EQ(replies.back().first, kReceivedData) << "the frame after the noise still arrives";
}

TEST_F(SimulatorConformance, StateReportsWhatTheLineChanged) {
    exchange(code(Command::SelectMethod), {4});
    const std::string state = simulator.command("state");
    EXPECT_EQ(state.rfind("ok ", 0), 0u);
    EXPECT_NE(state.find("method=4"), std::string::npos) << state;
    EXPECT_NE(state.find("device_id=5"), std::string::npos) << state;
}

// The hang-up is seen at the second read: one failure is forgiven.
TEST_F(SimulatorConformance, ClosingTheSimulatorHangsUpTheLine) {
    EXPECT_EQ(simulator.stop(), 0);
    EXPECT_EQ(driver.IsReceiveEmpty(kChannel), 1);
    EXPECT_EQ(driver.IsReceiveEmpty(kChannel), 1);
    EXPECT_TRUE(driver.deviceVanished());
}

TEST(SimulatorProgram, OlderInstrumentNeverAnswersVapourRequests) {
    test::SimulatorProcess simulator{{"--no-vapour"}};
    PosixSerialDriver driver{PortDevices(simulator.ptyPath())};
    ASSERT_EQ(openPortWithDefaults(driver, "COM 1"), 0);
    SendCommand(driver, 0, code(Command::RequestVapourSensitivity));
    SendCommand(driver, 0, code(Command::RequestStatus));
    std::this_thread::sleep_for(200ms);
    std::string bytes;
    for (int b; (b = driver.ReadByte(kChannel)) >= 0;) {
        bytes += static_cast<char>(b);
    }
    ASSERT_EQ(std::count(bytes.begin(), bytes.end(), '\x02'), 1) << "only the status reply";
    EXPECT_EQ(bytes.substr(1, 4), "0011");
}

TEST(SimulatorProgram, RejectsUnknownOptions) {
    EXPECT_THROW(test::SimulatorProcess({"--bogus"}), std::runtime_error);
}

} // namespace
} // namespace kqvdr
