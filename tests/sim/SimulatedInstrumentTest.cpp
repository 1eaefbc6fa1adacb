#include "SimulatedInstrument.h"

#include "CommandTable.h"
#include "Frame.h"
#include "FrameCollector.h"

#include <gtest/gtest.h>

namespace kqvdr::sim {
namespace {

std::string command(int address, int code, std::vector<std::int16_t> data = {}) {
    std::array<char, 64> out{};
    const auto entry = commandEntry(code);
    const std::size_t length = BuildFrame(address, code, data, entry->sendDigits, out);
    return std::string(out.data(), length);
}

struct Decoded {
    int data = 0;
    int acknowledgements = 0;
    int failures = 0;
    std::vector<ReplyFrame> replies;
};

Decoded decodeAll(std::string_view bytes) {
    Decoded result;
    FrameCollector collector;
    for (const char c : bytes) {
        if (const auto body = collector.feed(static_cast<unsigned char>(c))) {
            ReplyFrame reply;
            switch (DecodeFrame(*body, reply)) {
            case kReceivedData:
                ++result.data;
                result.replies.push_back(reply);
                break;
            case kReceivedAcknowledgement:
                ++result.acknowledgements;
                break;
            default:
                ++result.failures;
            }
        }
    }
    return result;
}

TEST(SimulatedInstrument, AnswersItsOwnIdentificationAndAddressZeroOnly) {
    SimulatorOptions options;
    options.deviceId = 5;
    SimulatedInstrument instrument(options);
    instrument.receive(command(5, 17) + command(0, 17) + command(6, 17), 0);
    EXPECT_EQ(decodeAll(instrument.takeOutput(0)).data, 2);
}

TEST(SimulatedInstrument, IgnoresFramesItCannotDecode) {
    SimulatedInstrument instrument({});
    std::string bad = command(0, 17);
    bad[5] = 'D'; // checksum
    instrument.receive(bad +
                           "\x02"
                           "zz\x03" +
                           command(0, 17),
                       0);
    EXPECT_EQ(decodeAll(instrument.takeOutput(0)).data, 1);
}

TEST(SimulatedInstrument, SilentAnswersNothingUntilTurnedOff) {
    SimulatedInstrument instrument({});
    EXPECT_EQ(instrument.control("silent on", 0), "ok silent on");
    instrument.receive(command(0, 17), 0);
    EXPECT_TRUE(instrument.takeOutput(1).empty());
    instrument.control("silent off", 1);
    instrument.receive(command(0, 17), 1);
    EXPECT_EQ(decodeAll(instrument.takeOutput(1)).data, 1);
}

TEST(SimulatedInstrument, GarbleCorruptsExactlyTheNextReplies) {
    SimulatedInstrument instrument({});
    instrument.control("garble 2", 0);
    for (int i = 0; i < 4; ++i) {
        instrument.receive(command(0, 17), 0);
    }
    const Decoded decoded = decodeAll(instrument.takeOutput(0));
    EXPECT_EQ(decoded.failures + decoded.data + decoded.acknowledgements, 4);
    EXPECT_EQ(decoded.data, 2);
}

TEST(SimulatedInstrument, NoiseGoesBeforeTheNextReplyWhichStillDecodes) {
    SimulatedInstrument instrument({});
    instrument.control("noise 40", 0);
    instrument.receive(command(0, 17), 0);
    const std::string out = instrument.takeOutput(0);
    EXPECT_EQ(out.size(), 40u + 12u);
    EXPECT_EQ(decodeAll(out).data, 1);
}

TEST(SimulatedInstrument, StreamSendsItsRateBetweenRepliesAndNeverInsideOne) {
    SimulatorOptions options;
    options.pace = true;
    SimulatedInstrument instrument(options);
    EXPECT_EQ(instrument.control("stream 1000", 0), "ok stream 1000");
    instrument.receive(command(0, 30), 0);
    std::string line;
    for (int ms = 0; ms <= 2000; ms += 10) {
        if (ms == 500) {
            instrument.receive(command(0, 17), ms / 1000.0);
        }
        ASSERT_TRUE(instrument.nextOutputDue().has_value()) << "a stream keeps the host waking";
        line += instrument.takeOutput(ms / 1000.0);
    }
    const Decoded decoded = decodeAll(line);
    EXPECT_EQ(decoded.data, 2) << "both replies arrive whole through the noise";
    EXPECT_EQ(decoded.failures, 0);
    EXPECT_NEAR(static_cast<double>(line.size()), 2000 + 272 + 12, 30);

    instrument.control("stream 0", 2.0);
    instrument.takeOutput(2.5);
    EXPECT_FALSE(instrument.nextOutputDue().has_value());
    EXPECT_TRUE(instrument.takeOutput(3.0).empty());
}

TEST(SimulatedInstrument, PacedRepliesArriveAtTheLinesByteRate) {
    SimulatorOptions options;
    options.pace = true;
    SimulatedInstrument instrument(options);
    instrument.receive(command(0, 30), 10.0);
    // 272 bytes at about a millisecond each: a quarter arrives in the first 70 ms.
    const std::string early = instrument.takeOutput(10.07);
    EXPECT_GT(early.size(), 60u);
    EXPECT_LT(early.size(), 75u);
    const std::string rest = instrument.takeOutput(10.3);
    EXPECT_EQ(early.size() + rest.size(), 272u);
    EXPECT_EQ(decodeAll(early + rest).data, 1);
}

TEST(SimulatedInstrument, SpeedRunsThePhysicsFaster) {
    SimulatedInstrument instrument({});
    instrument.receive(command(0, 0, {1}), 0);
    instrument.control("speed 60", 0);
    instrument.advanceTo(60); // one minute of wall time, an hour of instrument time
    EXPECT_NEAR(instrument.model().elapsed(), 3600, 1);
}

struct ControlCase {
    const char* line;
    const char* answerStart;
};

class ControlLines : public testing::TestWithParam<ControlCase> {};

TEST_P(ControlLines, AnswerWithOkOrError) {
    SimulatedInstrument instrument({});
    const std::string answer = instrument.control(GetParam().line, 0);
    EXPECT_EQ(answer.rfind(GetParam().answerStart, 0), 0u) << GetParam().line << " -> " << answer;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControlLines,
    testing::Values(ControlCase{"fault VDEV", "ok"}, ControlCase{"fault XYZ", "error"},
                    ControlCase{"fault", "error"}, ControlCase{"silent maybe", "error"},
                    ControlCase{"garble 3", "ok"}, ControlCase{"garble -1", "error"},
                    ControlCase{"noise x", "error"}, ControlCase{"stream 1000", "ok"},
                    ControlCase{"stream fast", "error"}, ControlCase{"variant fine", "ok"},
                    ControlCase{"variant coarse", "error"}, ControlCase{"speed 10", "ok"},
                    ControlCase{"speed 0", "error"}, ControlCase{"state", "ok mode=0"},
                    ControlCase{"", "error"}, ControlCase{"launch", "error"},
                    ControlCase{"unhealthy slow-gas", "ok"},
                    ControlCase{"unhealthy tired", "error"},
                    ControlCase{"healthy high-baseline", "ok"}, ControlCase{"quit", "ok"}));

TEST(SimulatedInstrumentTest, UnhealthyConditionsShowInTheStateAndCanBeCured) {
    SimulatedInstrument instrument({});
    EXPECT_NE(instrument.control("state", 0).find("ailments=none"), std::string::npos);
    instrument.control("unhealthy slow-heating", 0);
    instrument.control("unhealthy high-baseline", 0);
    EXPECT_NE(instrument.control("state", 0).find("ailments=slow-heating,high-baseline"),
              std::string::npos);
    instrument.control("healthy slow-heating", 0);
    EXPECT_TRUE(instrument.model().has(Ailment::HighBaseline));
    EXPECT_FALSE(instrument.model().has(Ailment::SlowHeating));
}

} // namespace
} // namespace kqvdr::sim
