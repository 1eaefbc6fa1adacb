#include "InstrumentModel.h"

#include "CommandTable.h"

#include <cmath>
#include <gtest/gtest.h>

namespace kqvdr::sim {
namespace {

void send(InstrumentModel& model, Command command, std::vector<std::int16_t> data = {}) {
    model.handle(code(command), data);
}

int modeOf(int status) {
    return (status >> 4) & 7;
}

TEST(InstrumentModel, StatusWordFollowsModeHeaterAndAutozero) {
    InstrumentModel model;
    EXPECT_EQ(modeOf(model.statusWord()), 0);
    send(model, Command::SetMode, {2});
    EXPECT_EQ(modeOf(model.statusWord()), 2);
    send(model, Command::HeaterOn);
    EXPECT_TRUE(model.statusWord() & 0x8);
    send(model, Command::HeaterOff);
    EXPECT_FALSE(model.statusWord() & 0x8);

    send(model, Command::Autozero);
    EXPECT_TRUE(model.statusWord() & 0x4);
    model.advance(2.5);
    EXPECT_TRUE(model.statusWord() & 0x4);
    model.advance(1.0);
    EXPECT_FALSE(model.statusWord() & 0x4);
}

TEST(InstrumentModel, AutozeroRemovesTheDetectorOffset) {
    InstrumentModel model;
    double before = 0;
    for (int i = 0; i < 50; ++i) {
        before += model.reading(code(Command::RequestDetectorOutput));
    }
    send(model, Command::Autozero);
    model.advance(4);
    double after = 0;
    for (int i = 0; i < 50; ++i) {
        after += model.reading(code(Command::RequestDetectorOutput));
    }
    EXPECT_GT(before / 50, after / 50 + 30);
    EXPECT_LT(after / 50, 150) << "baseline stays well under the analysis limit";
}

TEST(InstrumentModel, DownloadedMethodComesBackInTheTableAndSelectingItMovesTheSetpoints) {
    InstrumentModel model;
    send(model, Command::DownloadMethod, {3, 140, 95, 130, 17, 4, 2});
    const Reply table = model.handle(code(Command::RequestMethodTable), {});
    ASSERT_EQ(table.words.size(), 66u);
    EXPECT_EQ(std::vector<std::int16_t>(table.words.begin() + 18, table.words.begin() + 24),
              (std::vector<std::int16_t>{140, 95, 130, 17, 4, 2}));

    send(model, Command::SelectMethod, {3});
    EXPECT_EQ(model.reading(code(Command::RequestMethodNumber)), 3);
    EXPECT_EQ(model.reading(code(Command::RequestEvaporatorSetpoint)), 140);
    EXPECT_EQ(model.reading(code(Command::RequestNebuliserSetpoint)), 95);
    EXPECT_EQ(model.reading(code(Command::RequestGasFlowSetpoint)), 17);
    EXPECT_EQ(model.statusWord() & 3, 2);
}

TEST(InstrumentModel, FaultReportsErrorModeUntilClearedThenStandby) {
    InstrumentModel model;
    send(model, Command::SetMode, {1});
    model.setFault(*faultBit("EXH"));
    EXPECT_EQ(modeOf(model.statusWord()), 4);
    EXPECT_EQ(model.faultWord(), 1 << 3);
    send(model, Command::ClearFault);
    EXPECT_EQ(model.faultWord(), 0);
    EXPECT_EQ(modeOf(model.statusWord()), 0);
}

TEST(InstrumentModel, EveryFaultNameHasItsBit) {
    const char* names[] = {"GAS", "NEB", "EVP", "EXH", "VAP", "LMP", "FAN",
                           "CSM", "PDT", "OT",  "PIC", "TC",  "VDEV"};
    for (int bit = 0; bit < 13; ++bit) {
        EXPECT_EQ(faultBit(names[bit]), bit) << names[bit];
    }
    EXPECT_FALSE(faultBit("gas"));
}

// Runs simulated time in one-second steps until the status word reports ready.
double secondsUntilReady(InstrumentModel& model, double limit) {
    double t = 0;
    while (!(model.statusWord() & InstrumentModel::kStatusReadyBit) && t < limit) {
        model.advance(1.0);
        t += 1.0;
    }
    return t;
}

TEST(InstrumentModel, RunHeatsToTheSetpointsAlongTheCurveAndThenReportsReady) {
    InstrumentModel model;
    send(model, Command::DownloadMethod, {4, 150, 100, 150, 15, 0, 1});
    send(model, Command::SelectMethod, {4});
    send(model, Command::SetMode, {1});

    model.advance(300);
    // Five minutes in, the nebuliser is part-way up, as a real heater would be.
    EXPECT_GT(model.nebuliser(), 60);
    EXPECT_LT(model.nebuliser(), 100);
    EXPECT_FALSE(model.ready());

    const double t = 300 + secondsUntilReady(model, 4 * 3600);
    // The analysis allows the curve's time plus twenty minutes.
    EXPECT_LT(t, 1500 + 1200);
    EXPECT_NEAR(model.evaporator(), 150, InstrumentModel::kReadyBand);
    EXPECT_NEAR(model.nebuliser(), 100, InstrumentModel::kReadyBand);
    EXPECT_EQ(model.statusWord() & 0xFF00, 0);
}

TEST(InstrumentModel, ReadinessIsLostInStandbyAndKeptInGasSave) {
    InstrumentModel model;
    send(model, Command::SetMode, {1});
    secondsUntilReady(model, 3600);
    ASSERT_TRUE(model.ready());
    send(model, Command::SetMode, {2});
    model.advance(5);
    EXPECT_TRUE(model.ready());
    send(model, Command::SetMode, {0});
    model.advance(1);
    EXPECT_FALSE(model.ready());
    model.advance(3600);
    EXPECT_NEAR(model.evaporator(), InstrumentModel::kAmbient, 0.5) << "heaters off in Standby";
}

TEST(InstrumentModel, GasFlowSettlesWithinAFewReadings) {
    for (const bool fine : {false, true}) {
        InstrumentModel model(fine);
        send(model, Command::SetMode, {1});
        const int target = model.setpoints().gasFlow;
        int settledAfter = -1;
        for (int reading = 1; reading <= 10 && settledAfter < 0; ++reading) {
            model.advance(1.1); // one sweep
            if (model.reading(code(Command::RequestGasFlow)) == target) {
                settledAfter = reading;
            }
        }
        EXPECT_GE(settledAfter, 2) << "fine " << fine << ": not instantly";
        EXPECT_LE(settledAfter, 5) << "fine " << fine;
        send(model, Command::SetMode, {3});
        model.advance(10);
        EXPECT_EQ(model.reading(code(Command::RequestGasFlow)), 0) << "no gas in Sleep";
    }
}

TEST(InstrumentModel, ExhaustFollowsTheEvaporator) {
    InstrumentModel model;
    send(model, Command::SelectMethod, {10});
    send(model, Command::SetMode, {1});
    model.advance(3600);
    EXPECT_GT(model.exhaust(), 80);
    EXPECT_LT(model.exhaust(), model.evaporator());
}

TEST(InstrumentModel, FineVariantReportsHundredthsAndItsResolution) {
    InstrumentModel model(true);
    EXPECT_NE(model.reading(code(Command::RequestGasFlowResolution)), 0);
    for (int m = 0; m < kMethodCount; ++m) {
        EXPECT_GE(model.method(m).gasFlow, 5);
        EXPECT_LE(model.method(m).gasFlow, 100);
    }
    model.setFineGas(false);
    EXPECT_EQ(model.reading(code(Command::RequestGasFlowResolution)), 0);
}

TEST(InstrumentModel, OlderInstrumentIgnoresVapourCommands) {
    InstrumentModel model;
    model.setVapourCapable(false);
    EXPECT_EQ(model.handle(code(Command::RequestVapourSensitivity), {}).kind, Reply::Kind::None);
    EXPECT_EQ(model.handle(code(Command::SetVapourSensitivity), std::vector<std::int16_t>{5}).kind,
              Reply::Kind::None);
}

TEST(InstrumentModel, SetCommandsAreAcknowledgedAndRequestsAnswered) {
    InstrumentModel model;
    for (int c = 0; c <= 35; ++c) {
        const auto entry = commandEntry(c);
        const Reply reply = model.handle(c, std::vector<std::int16_t>{1, 1, 1, 1, 1, 1, 1});
        if (entry->replyDigits == 1) {
            EXPECT_EQ(reply.kind, Reply::Kind::Acknowledge) << c;
        } else {
            ASSERT_EQ(reply.kind, Reply::Kind::Data) << c;
            EXPECT_EQ(static_cast<int>(reply.words.size()), (entry->replyDigits + 3) / 4) << c;
        }
    }
}

} // namespace
} // namespace kqvdr::sim
