#include "AuditSink.h"
#include "AutomationRunner.h"
#include "CutShortRuns.h"
#include "RunMarker.h"
#include "SystemTestWorld.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using test::SystemTestWorld;

struct RecordingAudit : AuditSink {
    void record(const AuditEvent& event) override { events.push_back(event); }
    std::vector<AuditEvent> events;
};

AutomationEvent step(const char* time, const char* mode, const char* method) {
    return {"", time, mode, method};
}

int methodFramesSent(const SystemTestWorld& world) {
    return static_cast<int>(world.sentMethods().size());
}

// A world whose system test was cut short after its methods were sent: what a power cut leaves.
struct CutWorld : SystemTestWorld {
    CutWorld() {
        writeSequence({step("18:00", "RUN", "1"), step("07:00", "SLEEP", "1")});
        control.runSystemTest();
        run(20);
        runner.halt(); // the program is gone: nothing of the test's end happens
        operatorsMethods = test::readBytes(dir.file("Methods.mtd"));
        // The instrument reports the test's methods from now on.
        state.methods = test::numberedMethods("Test");
        driver.written.clear();
        person.messages.clear();
    }
    RunMarker marker() const { return RunMarker(dir.file(kSystemTestMarkerFile)); }
    std::string operatorsMethods;
};

TEST(CutShortTest, TheMarkerStandsFromTheFirstTestMethodSentUntilTheOperatorsMethodsAreBack) {
    SystemTestWorld world;
    world.writeSequence({step("18:00", "RUN", "1"), step("07:00", "SLEEP", "1")});
    const RunMarker marker(world.dir.file(kSystemTestMarkerFile));
    world.control.runSystemTest();
    ASSERT_TRUE(world.runner.running());
    const auto fields = marker.read();
    ASSERT_TRUE(fields);
    EXPECT_EQ(RunMarker::value(*fields, "serial"), "003-001");
    EXPECT_EQ(RunMarker::value(*fields, "started"), "2000-01-01 17:50");
    world.control.endTest();
    EXPECT_FALSE(marker.present());
}

TEST(CutShortTest, NoTestMethodIsSentWhileTheMarkerCannotBeWritten) {
    SystemTestWorld world;
    world.writeSequence({step("18:00", "RUN", "1")});
    std::filesystem::create_directory(world.dir.file(kSystemTestMarkerFile));
    world.control.runSystemTest();
    EXPECT_FALSE(world.runner.running());
    EXPECT_EQ(methodFramesSent(world), 0);
    ASSERT_EQ(world.person.messages.size(), 1u) << world.messageTexts().back();
    EXPECT_NE(world.person.messages[0].text.find("\"SystemTest.running\""), std::string::npos);
    EXPECT_NE(world.person.messages[0].text.find("A System Test will not be carried out."),
              std::string::npos);
}

TEST(CutShortTest, ATestAfterACutOneKeepsTheOperatorsSavedSetAndSendsItBackAtItsEnd) {
    CutWorld world; // the operator declined the offer at the start, or never saw it
    world.control.runSystemTest();
    ASSERT_TRUE(world.runner.running());
    EXPECT_EQ(test::readBytes(world.dir.file("Methods.mtd")), world.operatorsMethods);
    EXPECT_TRUE(world.person.messages.empty()) << world.messageTexts().front();
    world.control.endTest();
    EXPECT_EQ(world.state.methods[1].name, "Mine 1") << "the operator's own set came back";
    EXPECT_FALSE(world.marker().present());
}

TEST(CutShortTest, TheNextStartOffersTheOperatorsMethodsBackAndRecordsTheAnswer) {
    const struct {
        const char* name;
        bool yes;
        bool methodsFileThere;
        int framesSent;
        bool markerStays;
        const char* outcome;
    } cases[] = {
        {"sent back", true, true, 10, false, "operator's methods sent back"},
        {"declined", false, true, 0, true, "operator's methods kept in Methods.mtd"},
        {"nothing left to send", true, false, 0, false,
         "operator's methods could not be sent back"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CutWorld world;
        if (!c.methodsFileThere) {
            std::filesystem::remove(world.dir.file("Methods.mtd"));
        }
        RecordingAudit audit;
        world.person.answerYes = c.yes;
        reportRunsCutShort(world.dir.path(), world.person, &audit, world.store);
        ASSERT_FALSE(world.person.messages.empty());
        const std::string& question = world.person.messages[0].text;
        EXPECT_NE(question.find("The System Test of instrument 003-001, started 2000-01-01 17:50, "
                                "was cut short"),
                  std::string::npos)
            << question;
        EXPECT_EQ(methodFramesSent(world), c.framesSent);
        EXPECT_EQ(world.marker().present(), c.markerStays);
        ASSERT_EQ(audit.events.size(), 1u);
        EXPECT_EQ(audit.events[0].kind, AuditEventKind::SystemTestCutShort);
        EXPECT_EQ(audit.events[0].subject, "003-001");
        EXPECT_EQ(audit.events[0].newValue, c.outcome);
        if (c.framesSent > 0) {
            EXPECT_EQ(world.state.methods[1].name, "Mine 1");
        }
    }
}

TEST(CutShortTest, AnAutomationCutShortIsNamedWithItsTimetableAndLastEventOnce) {
    SystemTestWorld world;
    world.table.event(1) = {"TUE", "18:00", "RUN", "2"};
    world.table.event(2) = {"TUE", "19:00", "STANDBY", "3"};
    world.table.event(3) = {"TUE", "##:##", "STANDBY", "1"};
    AutomationRunner runner(world.state, world.driver, world.clock, world.table, {});
    runner.keepMarker(world.dir.file(kAutomationMarkerFile));
    world.clock.time.day = 4; // a Tuesday
    world.clock.time.weekday = 2;
    world.setTime(17, 59, 59);
    runner.start();
    for (int i = 0; i < 20; ++i) {
        runner.tick();
        world.clock.advanceSeconds(1);
    }
    ASSERT_TRUE(runner.running());
    // The power goes: the runner never stops.
    RecordingAudit audit;
    reportRunsCutShort(world.dir.path(), world.person, &audit, world.store);
    ASSERT_EQ(world.person.messages.size(), 1u);
    const std::string& text = world.person.messages[0].text;
    EXPECT_NE(text.find("An automation, started 2000-01-04 17:59:59, was cut short"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("02\tTUE\t19:00\tEND\tSTANDBY ( 3 )\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Its last event carried out, at 2000-01-04 18:00:00:\n"
                        "01\tTUE\t18:00\t19:00\tRUN ( 2 )\n"),
              std::string::npos)
        << text;
    ASSERT_EQ(audit.events.size(), 1u);
    EXPECT_EQ(audit.events[0].kind, AuditEventKind::AutomationCutShort);
    // Said once; a run that ends properly leaves nothing to say.
    reportRunsCutShort(world.dir.path(), world.person, &audit, world.store);
    runner.start();
    runner.stop();
    reportRunsCutShort(world.dir.path(), world.person, &audit, world.store);
    EXPECT_EQ(world.person.messages.size(), 1u);
}

} // namespace
} // namespace kqvdr
