#include "AuditSink.h"
#include "SystemTestWorld.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using test::SystemTestWorld;

AutomationEvent step(const char* time, const char* mode, const char* method) {
    return {"", time, mode, method};
}

TEST(SystemTestRunnerTest, WaitsForStepOneThenCreatesTheLogAndSetsModeAndMethod) {
    SystemTestWorld world;
    world.writeSequence({step("18:00", "RUN", "3"), step("19:00", "SLEEP", "1")});
    world.control.runSystemTest();
    ASSERT_TRUE(world.runner.running());
    EXPECT_EQ(world.windows.events,
              (std::vector<std::string>{"minimise", "progress 003-001 18:00:00 19:00:00"}));
    world.run(600); // to 18:00:00
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("003_001.log")));
    EXPECT_TRUE(world.steps().empty());
    world.run(1);
    EXPECT_TRUE(std::filesystem::exists(world.dir.file("003_001.log")));
    EXPECT_EQ(world.windows.events.back(), "counting");
    EXPECT_EQ(world.steps(), (std::vector<std::string>{"mode 1", "method 3"}));
    EXPECT_EQ(world.runner.nextTestStep(), 2);
    EXPECT_EQ(world.table.currentEventNumber, 1);
    EXPECT_EQ(world.table.event(0).eventMethod, "3");
}

TEST(SystemTestRunnerTest, SleepStepSetsSleepSelectsNoMethodAndCompletes) {
    SystemTestWorld world;
    world.setTime(17, 59, 58);
    world.writeSequence({step("18:00", "RUN", "2"), step("18:01", "SLEEP", "4")});
    world.control.runSystemTest();
    world.state.parameters[ParameterIndex::OperatingMode].measured = 1; // already running
    world.run(70);
    EXPECT_EQ(world.steps(), (std::vector<std::string>{"method 2", "mode 3"}));
    EXPECT_FALSE(world.runner.running());
    EXPECT_FALSE(world.log.loggingActive());
    EXPECT_EQ(world.windows.events.back(), "restore");
    const auto& events = world.windows.events;
    EXPECT_NE(std::find(events.begin(), events.end(), "results 003_001 003_001.log"), events.end());
}

TEST(SystemTestRunnerTest, ModeIsSentOnlyWhenTheInstrumentReportsAnother) {
    SystemTestWorld world;
    world.state.parameters[ParameterIndex::OperatingMode].measured = 1;
    world.writeSequence({step("17:50", "RUN", "5"), step("19:00", "SLEEP", "1")});
    world.control.runSystemTest();
    world.run(1);
    EXPECT_EQ(world.steps(), (std::vector<std::string>{"method 5"}));
}

TEST(SystemTestRunnerTest, UnsetStepCompletesAndStepTenCompletesOnTheNextTick) {
    for (const bool allTen : {false, true}) {
        SystemTestWorld world;
        std::vector<AutomationEvent> steps;
        for (int n = 0; n < (allTen ? 10 : 2); ++n) {
            steps.push_back(step(("17:5" + std::to_string(n)).c_str(), "RUN", "1"));
        }
        world.writeSequence(steps);
        world.control.runSystemTest();
        world.run(allTen ? 9 * 60 + 1 : 61);
        EXPECT_FALSE(world.runner.running()) << allTen;
        EXPECT_EQ(world.runner.nextTestStep(), 1);
        EXPECT_TRUE(world.runner.completed());
    }
}

// The final line goes only to a log this test opened: a file of that name is another night's.
TEST(SystemTestRunnerTest, StoppingBeforeStepOneWarnsAndLeavesAnOlderLogOfThatNameAlone) {
    SystemTestWorld world;
    test::writeBytes(world.dir.file("003_001.log"), "an earlier night\r\n");
    world.state.lastErrorCode = "GAS";
    world.writeSequence({step("18:00", "RUN", "1"), step("07:00", "SLEEP", "1")});
    world.control.runSystemTest();
    world.run(5);
    world.control.endTest();
    EXPECT_FALSE(world.runner.running());
    EXPECT_EQ(world.windows.warnings,
              (std::vector<std::string>{"\nThe System Test has been stopped.\n\nAnalysis of the "
                                        "instruments performance cannot be carried out."}));
    EXPECT_NE(std::find(world.windows.events.begin(), world.windows.events.end(),
                        "warning KQ-VDR1000 Control Control - Warning (003-001)"),
              world.windows.events.end());
    EXPECT_TRUE(world.person.messages.empty());
    EXPECT_EQ(test::readBytes(world.dir.file("003_001.log")), "an earlier night\r\n");
}

struct StopCase {
    const char* name;
    void (*fault)(InstrumentState&);
};

class StopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopTest, ErrorModeOrLineFailureStopsTheTestWithTheFinalLine) {
    SystemTestWorld world;
    world.setTime(17, 59, 50);
    world.writeSequence({step("18:00", "RUN", "1"), step("07:00", "SLEEP", "1")});
    world.control.runSystemTest();
    world.run(20); // step 1 fired, log open
    world.state.lastErrorCode = "GAS";
    GetParam().fault(world.state);
    world.run(1);
    EXPECT_FALSE(world.runner.running());
    EXPECT_FALSE(world.runner.completed());
    EXPECT_EQ(world.windows.warnings.size(), 1u);
    const std::string log = test::readBytes(world.dir.file("003_001.log"));
    EXPECT_EQ(log.substr(0, 9), "18:00:10 "); // the final line, with the error code
    EXPECT_NE(log.find("GAS"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StopTest,
    ::testing::Values(StopCase{"ErrorMode",
                               [](InstrumentState& s) {
                                   s.parameters[ParameterIndex::OperatingMode].measured = 4;
                               }},
                      StopCase{"LineFailure",
                               [](InstrumentState& s) { s.commErrorActive = true; }}),
    [](const auto& info) { return std::string(info.param.name); });

// The audit trail hears of each test's start and of its end, completed or stopped, once.
TEST(SystemTestRunnerTest, ReportsItsStartAndItsEndOnceToTheAuditTrail) {
    struct Recorder : AuditSink {
        void record(const AuditEvent& event) override {
            seen.push_back(event.kind == AuditEventKind::SystemTestStarted
                               ? "started"
                               : (event.kind == AuditEventKind::SystemTestEnded ? "ended " : "") +
                                     event.newValue);
        }
        std::vector<std::string> seen;
    };
    for (const bool stopped : {false, true}) {
        SystemTestWorld world;
        Recorder recorder;
        world.runner.setAuditSink(&recorder);
        world.setTime(17, 59, 58);
        world.writeSequence({step("18:00", "RUN", "2"), step("18:01", "SLEEP", "4")});
        world.control.runSystemTest();
        world.run(30);
        if (stopped) {
            world.control.endTest();
        } else {
            world.run(70);
        }
        EXPECT_EQ(recorder.seen, (std::vector<std::string>{
                                     "started", stopped ? "ended stopped" : "ended completed"}));
    }
}

TEST(SystemTestRunnerTest, StoppedWithoutAnErrorCodeAddsNoLine) {
    SystemTestWorld world;
    world.setTime(17, 59, 50);
    world.writeSequence({step("18:00", "RUN", "1"), step("07:00", "SLEEP", "1")});
    world.control.runSystemTest();
    world.run(20);
    world.control.endTest();
    EXPECT_TRUE(test::readBytes(world.dir.file("003_001.log")).empty());
    EXPECT_TRUE(world.person.messages.empty());
}

// A second start would save the test's methods over the operator's.
TEST(SystemTestRunnerTest, RunAgainWhileATestRunsIsRefusedAndChangesNothing) {
    SystemTestWorld world;
    world.writeSequence(
        {step("17:50", "RUN", "1"), step("17:51", "RUN", "2"), step("07:00", "SLEEP", "1")});
    world.control.runSystemTest();
    world.run(1);
    ASSERT_EQ(world.runner.nextTestStep(), 2);
    const std::string methods = test::readBytes(world.dir.file("Methods.mtd"));
    const auto windowEvents = world.windows.events.size();
    world.control.runSystemTest();
    world.run(1);
    EXPECT_EQ(world.runner.nextTestStep(), 2);
    EXPECT_EQ(test::readBytes(world.dir.file("Methods.mtd")), methods);
    EXPECT_EQ(world.windows.events.size(), windowEvents) << "no identification dialog";
    ASSERT_EQ(world.person.messages.size(), 1u);
    EXPECT_NE(world.person.messages[0].text.find("003-001 is running"), std::string::npos);
}

struct SequenceCase {
    const char* name;
    std::string bytes;
    const char* message;
};

class SequenceFileTest : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(SequenceFileTest, UnusableTimetableIsReportedAndNoTestStarts) {
    SystemTestWorld world;
    if (!GetParam().bytes.empty()) {
        test::writeBytes(world.dir.file("Test.seq"), GetParam().bytes);
    }
    world.control.runSystemTest();
    EXPECT_FALSE(world.runner.running());
    EXPECT_TRUE(world.windows.shownTimes.first.empty()); // no identification dialog
    ASSERT_EQ(world.person.messages.size(), 1u);
    EXPECT_EQ(world.person.messages[0].text, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SequenceFileTest,
    ::testing::Values(SequenceCase{"Missing", "",
                                   "The System Tests sequence file cannot be found.\n\nA System "
                                   "Test will not be carried out."},
                      SequenceCase{"Short",
                                   "\x05"
                                   "18:00\x03RUN\x01"
                                   "1",
                                   "The System Tests sequence file is damaged.\n\nA System Test "
                                   "will not be carried out."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SystemTestRunnerTest, MissingTestMethodsKeepTheTestFromStarting) {
    SystemTestWorld world;
    std::filesystem::remove(world.dir.file("Test.mtd"));
    world.writeSequence({step("18:00", "RUN", "1")});
    world.control.runSystemTest();
    EXPECT_FALSE(world.runner.running());
    EXPECT_TRUE(world.windows.events.empty());
}

TEST(SystemTestRunnerTest, CancelledIdentificationStartsNothing) {
    SystemTestWorld world;
    world.windows.answer.reset();
    world.writeSequence({step("18:00", "RUN", "1")});
    world.control.runSystemTest();
    EXPECT_FALSE(world.runner.running());
    EXPECT_EQ(world.windows.shownTimes, (std::pair<std::string, std::string>{"18:00", "18:00"}));
}

TEST(TestSequenceTest, EndIsStepTenOrTheLastSetStepBeforeTheFirstUnset) {
    AutomationTable table;
    Timetable steps = defaultTimetable();
    for (int n = 0; n < 9; ++n) {
        steps[static_cast<std::size_t>(n)].eventTime = "1" + std::to_string(n) + ":00";
    }
    steps[3].eventTime = kUnsetEventTime;
    loadTestSteps(table, steps);
    EXPECT_EQ(testEndTime(table), "12:00");
    table.event(4).eventTime = "13:00";
    EXPECT_EQ(testEndTime(table), "18:00"); // steps 1 to 9 set
    table.event(10).eventTime = "23:00";
    EXPECT_EQ(testEndTime(table), "23:00");
    table.event(1).eventTime = kUnsetEventTime;
    table.event(10).eventTime = kUnsetEventTime;
    EXPECT_EQ(testEndTime(table), "");
}

TEST(TestSequenceTest, LoadingKeepsTheAutomationsDays) {
    AutomationTable table;
    table.event(3).eventDay = "TUE";
    Timetable steps = defaultTimetable();
    steps[2] = {"", "04:00", "RUN", "7"};
    loadTestSteps(table, steps);
    EXPECT_EQ(table.event(3), (AutomationEvent{"TUE", "04:00", "RUN", "7"}));
}

TEST(TestProgressTest, PercentOfTheTimetableCountsAcrossMidnightOnceTheFirstStepIsApplied) {
    struct Case {
        const char* now;
        bool applied;
        int percent;
    };
    for (const Case c :
         {Case{"17:29:00", false, 0}, Case{"17:59:59", false, 0}, Case{"01:00:00", false, 0},
          Case{"18:00:00", true, 0}, Case{"01:00:00", true, 53}, Case{"06:59:59", true, 99},
          Case{"07:00:00", true, 100}, Case{"12:00:00", true, 100}}) {
        EXPECT_EQ(testProgressPercent("18:00:00", "07:00:00", c.now, c.applied), c.percent)
            << c.now << (c.applied ? " applied" : " waiting");
    }
    EXPECT_EQ(testProgressPercent("18:00:00", "18:00:00", "18:30:00", true), 0);
}

} // namespace
} // namespace kqvdr
