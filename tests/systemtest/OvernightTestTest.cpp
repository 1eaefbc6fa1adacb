// A whole overnight system test in seconds: the poll, the log channel, the step machine and the
// simulated instrument on one fake clock, from Run System Test to the analysis of its log.

#include "AnalysisOutput.h"
#include "FakeSerialDriver.h"
#include "FrameReceiver.h"
#include "InstrumentModel.h"
#include "ManualSteadyClock.h"
#include "RecordingFrontPanel.h"
#include "SimulatedInstrument.h"
#include "StatusPoll.h"
#include "SystemTestAnalysis.h"
#include "SystemTestWorld.h"
#include "TestVerdicts.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

// The line to the simulated instrument, with replies there as soon as they are sent.
class SimulatorLine : public test::FakeSerialDriver {
public:
    SimulatorLine(sim::SimulatedInstrument& instrument, const double& now)
        : instrument_(instrument), now_(now) {}

    std::int32_t WriteBlock(std::int32_t channel, std::int32_t length, const char* bytes) override {
        instrument_.receive(std::string_view(bytes, static_cast<std::size_t>(length)), now_);
        return FakeSerialDriver::WriteBlock(channel, length, bytes);
    }
    std::int32_t ReadByte(std::int32_t channel) override {
        fetch();
        return FakeSerialDriver::ReadByte(channel);
    }
    std::int32_t IsReceiveEmpty(std::int32_t channel) override {
        fetch();
        return FakeSerialDriver::IsReceiveEmpty(channel);
    }

private:
    void fetch() { queueIncoming(instrument_.takeOutput(now_)); }

    sim::SimulatedInstrument& instrument_;
    const double& now_;
};

class NoPortSettings : public PortSettingsCommand {
public:
    void communicationSettings() override {}
};

// The program's windows as far as the test needs them: the results dialog analyses the log.
class AnalysingWindows : public test::FakeTestWindows {
public:
    void showResults(const std::string& serial, const std::filesystem::path& log) override {
        FakeTestWindows::showResults(serial, log);
        results = analyseTestLogFile(log, fineFlowLog(log));
    }
    std::optional<std::vector<TestResult>> results;
};

struct Overnight {
    explicit Overnight(std::optional<sim::Ailment> ailment, bool fine = false)
        : instrument(sim::SimulatorOptions{.fineGas = fine}) {
        world.state.fineGasResolution = fine;
        if (fine) {
            windows.answer = TestInstrument{"M03_001", false, {}};
        }
        if (ailment) {
            instrument.model().setAilment(*ailment, true);
        }
        for (const char* name : {"Test.mtd", "mTest.mtd", "Test.seq"}) {
            std::filesystem::copy_file(std::filesystem::path(KQVDR_SUPPLIED_DIR) / name,
                                       world.dir.file(name),
                                       std::filesystem::copy_options::overwrite_existing);
        }
        world.setTime(17, 58, 0);
        world.state.parameters[ParameterIndex::DeviceId].measured = instrument.model().deviceId();
    }

    // Two ticks a second until the test ends or a day has passed.
    void run() {
        control.runSystemTest();
        for (int s = 0; s < 24 * 3600 && runner.running(); ++s) {
            for (int half = 0; half < 2; ++half) {
                now = s + half * 0.5;
                instrument.advanceTo(now);
                poll.tick();
            }
            world.clock.advanceSeconds(1);
        }
    }

    double now = 0;
    sim::SimulatedInstrument instrument;
    test::SystemTestWorld world;
    SimulatorLine line{instrument, now};
    test::ManualSteadyClock steadyClock;
    FrameReceiver receiver{line, steadyClock};
    test::RecordingFrontPanel panel;
    NoPortSettings portSettings;
    InactiveRunner automation;
    AnalysingWindows windows;
    MethodStore store{world.state, line, world.person, world.editor, world.dir.path()};
    SystemTestRunner runner{world.state, line, world.clock, world.table};
    SystemTestControl control{
        {world.state, world.table, runner, store, world.log, world.person, windows, automation},
        world.dir.path(),
        [] { return std::string("KQ-VDR1000 Control"); }};
    StatusPoll poll{
        world.state,
        {line, receiver, panel, world.person, portSettings, world.log, automation, runner}};
};

struct OvernightCase {
    const char* name;
    std::optional<sim::Ailment> ailment;
    std::optional<SystemTest> failing;
    bool fine = false;
};

class OvernightTest : public ::testing::TestWithParam<OvernightCase> {};

TEST_P(OvernightTest, EachUnhealthyInstrumentFailsItsAnalysisAndOnlyThatOne) {
    const OvernightCase& c = GetParam();
    Overnight night(c.ailment, c.fine);
    night.run();
    EXPECT_FALSE(night.runner.running());
    ASSERT_TRUE(night.windows.results) << "the results dialog did not open";
    const std::vector<TestResult>& rows = *night.windows.results;
    EXPECT_EQ(rows.size(), 9u); // nine RUN steps
    const TestVerdicts verdicts = overallVerdicts(rows);
    for (int i = 0; i < kSystemTestCount; ++i) {
        const auto test = static_cast<SystemTest>(i);
        EXPECT_EQ(verdicts.of(test), test == c.failing ? Verdict::Failed : Verdict::Passed)
            << systemTestName(test) << "\n"
            << analysisTable({"003-001", c.fine, rows});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OvernightTest,
    ::testing::Values(
        OvernightCase{"Healthy", std::nullopt, std::nullopt},
        OvernightCase{"SlowHeating", sim::Ailment::SlowHeating, SystemTest::TemperatureResponse},
        OvernightCase{"UnstableTemperature", sim::Ailment::UnstableTemperature,
                      SystemTest::TemperatureStability},
        OvernightCase{"HighBaseline", sim::Ailment::HighBaseline, SystemTest::BaselineStability},
        OvernightCase{"SlowGas", sim::Ailment::SlowGas, SystemTest::MassFlow},
        OvernightCase{"HealthyFineRange", std::nullopt, std::nullopt, true},
        OvernightCase{"SlowGasFineRange", sim::Ailment::SlowGas, SystemTest::MassFlow, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kqvdr
