#include "SessionRecords.h"

#include "AuditLine.h"
#include "AuditVerifier.h"
#include "AutomationRunner.h"
#include "MethodWorld.h"
#include "OperationalLog.h"
#include "PollWorld.h"

#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace kqvdr {
namespace {

// The program's parts on a fake line, wired to the records as the running program wires them.
struct SessionWorld {
    SessionWorld() {
        clock.time = {2026, 12, 8, 9, 0, 0, 2, 60};
        records.attach(poll, methods, log, automation);
        state.parameters[ParameterIndex::DeviceId].measured = 5;
    }

    void arrive(int commandCode, std::vector<std::int16_t> words) {
        driver.queueIncoming(test::PollWorld::reply(commandCode, std::move(words)));
    }
    void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            poll.tick();
            records.tickEnded();
        }
    }

    struct Line {
        std::string event, subject, oldValue, newValue;
    };
    std::vector<Line> lines() const {
        std::vector<Line> out;
        std::istringstream in(test::readBytes(dir.file(kAuditFile)));
        for (std::string line; std::getline(in, line);) {
            const auto fields = auditFields(line);
            EXPECT_TRUE(fields) << line;
            if (fields) {
                out.push_back({fields->event, fields->subject, fields->oldValue, fields->newValue});
            }
        }
        return out;
    }
    std::vector<Line> linesOf(const std::string& event) const {
        std::vector<Line> found;
        for (const Line& line : lines()) {
            if (line.event == event) {
                found.push_back(line);
            }
        }
        return found;
    }

    test::TemporaryDirectory dir;
    InstrumentState state;
    test::FakeSerialDriver driver;
    test::ManualClock clock;
    std::vector<std::string> failures;
    SessionRecords records{
        state,      driver,   clock,
        dir.path(), "tester", [this](const std::string& reason) { failures.push_back(reason); }};
    test::ManualSteadyClock steadyClock;
    FrameReceiver receiver{driver, steadyClock};
    test::RecordingFrontPanel panel;
    test::ScriptedOperator person;
    test::FakeEditor editor;
    InstrumentLink link{state, records.driver(), panel, person, dir.path()};
    OperationalLog log{state, clock, person, dir.path(), "/home/tester"};
    AutomationTable table;
    AutomationRunner automation{state, records.driver(), clock, table, {}};
    InactiveRunner systemTest;
    StatusPoll poll{state,
                    {records.driver(), receiver, panel, person, link, log, automation, systemTest}};
    MethodStore methods{state, records.driver(), person, editor, dir.path()};
};

TEST(SessionRecords, EveryKindOfEventOfTheSessionReachesTheAuditTrail) {
    SessionWorld world;
    world.records.programStarted();
    ASSERT_EQ(openPortWithDefaults(world.records.driver(), "COM 1"), 0);
    world.arrive(17, {0x0000}); // Standby
    world.ticks(1);
    world.link.requestMode(1);
    world.state.parameters[ParameterIndex::OperatingMode].measured = 1;
    world.link.autozero();
    world.link.toggleTransferLineHeater();
    world.person.deviceIdChoice = {true, 7};
    world.link.changeDeviceIdentification();
    world.person.vapourChoice = {true, 4};
    world.link.setVapourSensor();
    world.editor.fields[EditorField::Number] = "3";
    world.methods.sendEditorMethod();
    world.methods.saveMethods();
    world.methods.readMethodNames();
    world.log.startLoggingData();
    world.log.stopLoggingData();
    world.automation.start();
    world.automation.stop();
    world.arrive(17, {0x0040}); // the error mode: the poll asks for the fault word
    world.ticks(1);
    world.arrive(32, {0x0001});
    world.ticks(1);
    world.ticks(25); // silence
    world.records.programExiting();

    std::set<std::string> seen;
    for (const auto& line : world.lines()) {
        seen.insert(line.event);
    }
    std::set<std::string> expected;
    for (int kind = 0; kind <= static_cast<int>(AuditEventKind::AutomationEnded); ++kind) {
        expected.insert(auditEventName(static_cast<AuditEventKind>(kind)));
    }
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(verifyAuditFile(world.dir.file(kAuditFile)).intact());
    EXPECT_TRUE(world.failures.empty());
}

TEST(SessionRecords, CommandsCarryTheValueTheyReplace) {
    SessionWorld world;
    world.arrive(17, {0x0018}); // Run, heater on
    world.arrive(23, {2});
    world.ticks(1);
    world.link.requestMode(3);
    world.link.toggleTransferLineHeater();
    world.editor.fields[EditorField::Number] = "4";
    world.methods.sendEditorMethod();

    const auto mode = world.linesOf("mode");
    ASSERT_EQ(mode.size(), 1u);
    EXPECT_EQ(mode[0].oldValue, "Run");
    EXPECT_EQ(mode[0].newValue, "Sleep");
    const auto heater = world.linesOf("heater");
    ASSERT_EQ(heater.size(), 1u);
    EXPECT_EQ(heater[0].oldValue, "on");
    EXPECT_EQ(heater[0].newValue, "off");
    const auto selected = world.linesOf("method selected");
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].oldValue, "2");
    EXPECT_EQ(selected[0].newValue, "4");
}

// Save As changes the table before it sends, so the old value must come from what was known at
// the end of the last tick, not from the table at the moment of sending.
TEST(SessionRecords, ADownloadNamesTheSetpointsItReplacesEvenAfterTheTableChanged) {
    SessionWorld world;
    MethodRecord& three = world.state.methods[3];
    three.evaporatorTemp = 60;
    three.nebuliserTemp = 50;
    three.transferLineTemp = 40;
    three.gasFlow = 15;
    three.autozeroOffset = 1;
    three.timeConstant = 2;
    world.ticks(1);
    world.editor.fields = {{EditorField::Number, "3"},      {EditorField::Evaporator, "80"},
                           {EditorField::Nebuliser, "55"},  {EditorField::TransferLine, "45"},
                           {EditorField::GasFlow, "1.2"},   {EditorField::Autozero, "0"},
                           {EditorField::TimeConstant, "1"}};
    world.editor.dialogAnswer = {true, "3", "Gradient", ""};
    world.methods.saveMethodAs();
    world.methods.saveMethodAs(); // the second replaces what the first sent

    const auto downloads = world.linesOf("method downloaded");
    ASSERT_EQ(downloads.size(), 2u);
    EXPECT_EQ(downloads[0].subject, "method 3");
    EXPECT_EQ(downloads[0].oldValue, "evaporator 60 C, nebuliser 50 C, transfer line 40 C, gas "
                                     "1.5 SLM, autozero 1 mV, time constant 2 s");
    EXPECT_EQ(downloads[0].newValue, "evaporator 80 C, nebuliser 55 C, transfer line 45 C, gas "
                                     "1.2 SLM, autozero 0 mV, time constant 1 s");
    EXPECT_EQ(downloads[1].oldValue, downloads[0].newValue);
}

TEST(SessionRecords, FaultsAreRecordedByTheirCodeWhenReportedAndWhenCleared) {
    SessionWorld world;
    world.arrive(17, {0x0040});
    world.ticks(1);
    world.arrive(32, {0x0200}); // OT
    world.ticks(1);
    const auto reported = world.linesOf("fault reported");
    const auto cleared = world.linesOf("fault cleared");
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].subject, "OT");
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_EQ(cleared[0].subject, "OT");
}

TEST(SessionRecords, RequestsOfThePollLeaveNoLines) {
    SessionWorld world;
    for (int i = 0; i < 40; ++i) {
        world.arrive(17, {0x0010});
        world.ticks(1);
    }
    EXPECT_TRUE(world.lines().empty());
}

} // namespace
} // namespace kqvdr
