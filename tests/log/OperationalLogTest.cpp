#include "OperationalLog.h"

#include "InstrumentState.h"
#include "ManualClock.h"
#include "SaveLogPath.h"
#include "ScriptedOperator.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

constexpr const char* kStarted = "The Operational Log has been started and data will be logged.";
constexpr const char* kOpenError =
    "\nError Opening Operational Log File\n\nNo Data will be logged.\n ";
constexpr const char* kNotStarted = "\nAn Operational Log has not been started.";
constexpr const char* kInvalidPath =
    "\nError Saving File\n\nThe path and filename you provided were not valid.\n ";

// The channel on a clock of its own, ticked ten times a second as the heartbeat does.
struct LogWorld {
    LogWorld() { setTime(10, 0, 0); }

    void setTime(int hour, int minute, int second) {
        clock.time.hour = hour;
        clock.time.minute = minute;
        clock.time.second = second;
    }

    void run(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            for (int i = 0; i < 10; ++i) {
                if (log.loggingActive()) {
                    log.tick();
                }
            }
            clock.advanceSeconds(1);
        }
    }

    std::filesystem::path logFile() const { return dir.file("vdr_com1.log"); }

    // The time field of every line in the port's log file.
    std::vector<std::string> loggedTimes() const {
        std::vector<std::string> times;
        const std::string bytes = test::readBytes(logFile());
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t end = bytes.find("\r\n", at);
            times.push_back(bytes.substr(at, 8));
            at = end == std::string::npos ? bytes.size() : end + 2;
        }
        return times;
    }

    std::vector<std::string> messageTexts() const { return person.messageTexts(); }

    InstrumentState state;
    test::ManualClock clock;
    test::ScriptedOperator person;
    test::TemporaryDirectory dir;
    OperationalLog log{state, clock, person, dir.path(), "/home/tester"};
};

using Times = std::vector<std::string>;

TEST(LogCadence, OneLineInSecondFifteenAndOneInSecondFortyFive) {
    LogWorld world;
    world.log.startLoggingData();
    world.run(120);
    EXPECT_EQ(world.loggedTimes(), (Times{"10:00:15", "10:00:45", "10:01:15", "10:01:45"}));
}

TEST(LogCadence, MissedFortyFiveSuppressesTheNextFifteen) {
    LogWorld world;
    world.log.startLoggingData();
    world.run(20);
    world.setTime(10, 0, 50); // no tick fell into second 45
    world.run(60);
    EXPECT_EQ(world.loggedTimes(), (Times{"10:00:15", "10:01:45"}));
}

TEST(LogCadence, FirstLineOfANewLogFollowsTheToggleLeftByTheLastOne) {
    {
        LogWorld world;
        world.setTime(10, 0, 20);
        world.log.startLoggingData();
        world.run(60);
        EXPECT_EQ(world.loggedTimes(), (Times{"10:01:15"})) << "toggle clear";
    }
    LogWorld world;
    world.setTime(9, 59, 10);
    world.log.startLoggingData();
    world.run(10); // 09:59:15 sets the toggle
    world.log.stopLoggingData();
    world.setTime(10, 0, 20);
    world.log.startLoggingData();
    world.run(30);
    EXPECT_EQ(world.loggedTimes(), (Times{"10:00:45"})) << "toggle left set";
}

TEST(LogCommands, StartEmptiesThePortsLogAndResetsTheLastError) {
    LogWorld world;
    world.state.activePortIndex = 2;
    test::writeBytes(world.dir.file("vdr_com3.log"), "an earlier log\r\n");
    world.state.lastErrorCode = "OT";
    world.log.startLoggingData();
    EXPECT_TRUE(world.log.loggingActive());
    EXPECT_EQ(test::readBytes(world.dir.file("vdr_com3.log")), "");
    EXPECT_EQ(world.state.lastErrorCode, " - ");

    world.state.lastErrorCode = "GAS";
    world.log.startLoggingData();
    EXPECT_EQ(world.state.lastErrorCode, "GAS") << "a second start changes nothing";
    EXPECT_EQ(world.messageTexts(),
              (std::vector<std::string>{kStarted, "The Operational Log is already active."}));
    EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Information);
}

TEST(LogCommands, StartThatCannotOpenTheFileLeavesLoggingOff) {
    struct Case {
        const char* name;
        int port;
        bool removeDirectory;
    };
    for (const Case c :
         {Case{"no file name for port 5", 4, false}, Case{"directory gone", 0, true}}) {
        LogWorld world;
        world.state.activePortIndex = c.port;
        world.state.lastErrorCode = "OT";
        if (c.removeDirectory) {
            std::filesystem::remove_all(world.dir.path());
        }
        world.log.startLoggingData();
        EXPECT_FALSE(world.log.loggingActive()) << c.name;
        EXPECT_EQ(world.messageTexts(), std::vector<std::string>{kOpenError}) << c.name;
        EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Stop);
        EXPECT_EQ(world.state.lastErrorCode, "OT") << c.name;
    }
}

TEST(LogCommands, StopClosesWithItsMessageOnlyWhenLogging) {
    LogWorld world;
    world.log.stopLoggingData();
    EXPECT_TRUE(world.person.messages.empty());
    world.log.startLoggingData();
    world.run(20);
    world.log.stopLoggingData();
    EXPECT_FALSE(world.log.loggingActive());
    EXPECT_EQ(world.messageTexts().back(), "The Operational Log has been stopped");
    world.run(60);
    EXPECT_EQ(world.loggedTimes(), (Times{"10:00:15"})) << "the file stays as it was";
}

TEST(LogCommands, FreshLogForTheAutomationKeepsTheLastErrorAndSaysNothing) {
    LogWorld world;
    world.log.startLoggingData();
    world.run(20);
    world.state.lastErrorCode = "TC";
    world.log.startFreshLog();
    EXPECT_TRUE(world.log.loggingActive());
    EXPECT_EQ(world.loggedTimes(), Times{}) << "emptied";
    EXPECT_EQ(world.person.messages.size(), 1u);
    world.run(30);
    const std::string bytes = test::readBytes(world.logFile());
    EXPECT_EQ(bytes.substr(bytes.size() - 6), " TC \r\n");
    EXPECT_EQ(world.log.recentLines().oldestFirst().size(), 1u) << "the ring starts again";
}

TEST(LogCommands, TestLogOpensAtItsPathAndTheFinalLineNeedsAnExistingFile) {
    LogWorld world;
    world.log.startLoggingData();
    const auto testLog = world.dir.file("003_001.log");
    test::writeBytes(testLog, "earlier test\r\n");
    ASSERT_TRUE(world.log.openTestLog(testLog));
    world.run(20);
    world.log.close();
    EXPECT_FALSE(world.log.loggingActive());
    EXPECT_EQ(world.loggedTimes(), Times{}) << "the operational log got nothing";

    ASSERT_TRUE(world.log.openExistingLog(testLog));
    world.log.writeLine();
    world.log.close();
    const std::string bytes = test::readBytes(testLog);
    EXPECT_EQ(bytes.substr(0, 8), "10:00:15");
    EXPECT_EQ(bytes.substr(bytes.find("\r\n") + 2, 8), "10:00:20");

    EXPECT_FALSE(world.log.openExistingLog(world.dir.file("003_002.log")));
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("003_002.log")));
    EXPECT_FALSE(world.log.openTestLog(world.dir.file("missing/003_003.log")));
    EXPECT_EQ(world.messageTexts(), (std::vector<std::string>{kStarted, kOpenError, kOpenError}));
}

TEST(LogCommands, WriteFailureOnAFullDiskIsReportedOnceAndStopsLogging) {
    LogWorld world;
    std::filesystem::create_symlink("/dev/full", world.logFile());
    world.log.startLoggingData();
    ASSERT_TRUE(world.log.loggingActive());
    world.log.writeLine();
    world.run(120);
    EXPECT_FALSE(world.log.loggingActive());
    ASSERT_EQ(world.person.messages.size(), 2u);
    EXPECT_EQ(world.person.messages[1].icon, MessageIcon::Stop);
    EXPECT_NE(world.person.messages[1].text.find("No space left on device"), std::string::npos)
        << world.person.messages[1].text;
    EXPECT_TRUE(world.log.recentLines().oldestFirst().empty()) << "no line was recorded";
}

// Save Current Log with a log of two lines on disk.
struct SaveWorld : LogWorld {
    SaveWorld() {
        std::filesystem::create_directory(target);
        log.startLoggingData();
        run(50);
    }
    void saveAs(const std::string& fullPath) {
        person.saveLogChoice = {true, fullPath};
        log.saveCurrentLog();
    }
    std::filesystem::path target = dir.file("saved");
    std::string copyPath = saveLogFullPath(target.string(), "My VDR Log", ".wri ");
};

TEST(SaveCurrentLog, CopiesTheLogToTheChosenFileAndLeavesLoggingOff) {
    SaveWorld world;
    EXPECT_EQ(world.copyPath, world.target.string() + "/My VDR Log.wri");
    world.saveAs(world.copyPath);
    EXPECT_FALSE(world.log.loggingActive());
    EXPECT_EQ(world.person.saveLogDialogs, std::vector<std::string>{"/home/tester"});
    EXPECT_EQ(test::readBytes(world.copyPath), test::readBytes(world.logFile()));
    EXPECT_EQ(world.loggedTimes().size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(world.target),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file left behind";
    EXPECT_EQ(world.messageTexts(), std::vector<std::string>{kStarted}) << "no message on success";
}

TEST(SaveCurrentLog, CancelStillStopsLoggingAndNestedTicksWriteNothing) {
    SaveWorld world;
    world.person.saveLogChoice = {false, world.copyPath};
    world.person.whileSaveLogDialog = [&world] { world.run(60); };
    world.log.saveCurrentLog();
    EXPECT_FALSE(world.log.loggingActive());
    EXPECT_EQ(world.loggedTimes().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(world.copyPath));
}

TEST(SaveCurrentLog, RefusalsLeaveTheTargetAsItWas) {
    struct Case {
        const char* name;
        bool removeLog;
        bool targetIsLog;
        std::string fullPath; // empty: the usual copy path
        const char* message;
    };
    const Case cases[] = {
        {"no log on disk", true, false, "", kNotStarted},
        {"directory missing", false, false, "/nonexistent-kqvdr/My VDR Log.wri", kInvalidPath},
        {"relative path", false, false, "My VDR Log.wri", kInvalidPath},
        {"the log itself", false, true, "",
         "\nError Saving File\n\nThe current operational log cannot be saved over itself.\n\n"
         "Please choose a different path or file name.\n "},
    };
    for (const Case& c : cases) {
        SaveWorld world;
        const std::string before = test::readBytes(world.logFile());
        test::writeBytes(world.copyPath, "an earlier copy");
        if (c.removeLog) {
            std::filesystem::remove(world.logFile());
        }
        world.saveAs(c.targetIsLog        ? world.logFile().string()
                     : c.fullPath.empty() ? world.copyPath
                                          : c.fullPath);
        EXPECT_EQ(world.messageTexts().back(), c.message) << c.name;
        EXPECT_EQ(world.person.messages.back().icon, MessageIcon::Exclamation) << c.name;
        EXPECT_EQ(test::readBytes(world.copyPath), "an earlier copy") << c.name;
        if (!c.removeLog) {
            EXPECT_EQ(test::readBytes(world.logFile()), before) << c.name;
        }
        EXPECT_FALSE(std::filesystem::exists("My VDR Log.wri")) << c.name;
    }
}

} // namespace
} // namespace kqvdr
