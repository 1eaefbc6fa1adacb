#include "LogWorld.h"
#include "SaveLogPath.h"
#include "SmallFilesystem.h"

#include <algorithm>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kqvdr {
namespace {

using test::LogWorld;
using Texts = std::vector<std::string>;

constexpr const char* kStarted = "The Operational Log has been started and data will be logged.";
constexpr const char* kOpenError =
    "\nError Opening Operational Log File\n\nNo Data will be logged.\n ";
constexpr const char* kInvalidPath =
    "\nError Saving File\n\nThe path and filename you provided were not valid.\n ";

TEST(LogCadence, HalfMinuteLinesFollowTheToggle) {
    struct Case {
        const char* name;
        void (*run)(LogWorld&);
        Texts times;
    };
    const Case cases[] = {
        {"one line in each second 15 and 45",
         [](LogWorld& w) { w.run(120); },
         {"10:00:15", "10:00:45", "10:01:15", "10:01:45"}},
        {"a 45 that no tick saw is written late",
         [](LogWorld& w) {
             w.run(20);
             w.setTime(10, 0, 50);
             w.run(60);
         },
         {"10:00:15", "10:00:50", "10:01:15", "10:01:45"}},
        {"a clock set back writes no second line for the same half minute",
         [](LogWorld& w) {
             w.run(20);
             w.setTime(10, 0, 10);
             w.run(10);
         },
         {"10:00:15"}},
        {"started at 10:00:20 with the toggle clear",
         [](LogWorld& w) {
             w.log.close();
             w.setTime(10, 0, 20);
             w.log.startLoggingData();
             w.run(60);
         },
         {"10:01:15"}},
        {"started at 10:00:20 with the toggle left set by an earlier log",
         [](LogWorld& w) {
             w.setTime(9, 59, 10);
             w.run(10);
             w.log.stopLoggingData();
             w.setTime(10, 0, 20);
             w.log.startLoggingData();
             w.run(30);
         },
         {"10:00:45"}},
    };
    for (const Case& c : cases) {
        LogWorld world;
        world.log.startLoggingData();
        c.run(world);
        EXPECT_EQ(world.loggedTimes(), c.times) << c.name;
    }
}

TEST(LogCommands, StartEmptiesThePortsLogAndStopClosesIt) {
    LogWorld world;
    world.state.activePort = "COM 3";
    test::writeBytes(world.dir.file("vdr_com3.log"), "an earlier log\r\n");
    world.state.lastErrorCode = "OT";
    world.log.stopLoggingData(); // not logging: nothing to say
    world.log.startLoggingData();
    EXPECT_EQ(test::readBytes(world.dir.file("vdr_com3.log")), "");
    EXPECT_EQ(world.state.lastErrorCode, " - ");
    world.person.messages.erase(world.person.messages.begin()); // asked: the file held a line
    world.state.lastErrorCode = "GAS";
    world.log.startLoggingData();
    EXPECT_EQ(world.state.lastErrorCode, "GAS") << "a second start changes nothing";
    world.log.stopLoggingData();
    EXPECT_FALSE(world.log.loggingActive());
    EXPECT_EQ(world.person.messageTexts(),
              (Texts{kStarted, "The Operational Log is already active.",
                     "The Operational Log has been stopped"}));
    EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Information);
}

// Logging stopped on a full disk keeps the lines written before; starting again must not empty
// them without asking.
TEST(LogCommands, StartOverALogThatHoldsLinesAsksFirstAndNoKeepsThem) {
    const struct {
        const char* what;
        const char* before; // nullptr: no file
        MessageAnswer answer;
        bool asked;
        bool started;
    } cases[] = {
        {"lines, No", "10:00:15 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \r\n", MessageAnswer::No, true,
         false},
        {"lines, Yes", "10:00:15 1 1 1 1 1 1 1 1 1 RUN T F T 3  -  \r\n", MessageAnswer::Yes, true,
         true},
        {"an empty log", "", MessageAnswer::No, false, true},
        {"no log yet", nullptr, MessageAnswer::No, false, true},
    };
    for (const auto& c : cases) {
        LogWorld world;
        if (c.before != nullptr) {
            test::writeBytes(world.logFile(), c.before);
        }
        world.person.yesNoAnswer = c.answer;
        world.log.startLoggingData();
        EXPECT_EQ(world.log.loggingActive(), c.started) << c.what;
        const bool asked = !world.person.messages.empty() &&
                           world.person.messages[0].icon == MessageIcon::Question;
        EXPECT_EQ(asked, c.asked) << c.what;
        if (asked) {
            EXPECT_NE(world.person.messages[0].text.find("vdr_com1.log"), std::string::npos);
        }
        const std::string expected = c.started || c.before == nullptr ? "" : c.before;
        EXPECT_EQ(test::readBytes(world.logFile()), expected) << c.what;
    }
}

#ifndef _WIN32
// A named pipe in place of the log has no reader: the start must say so, not wait for one.
TEST(LogCommands, APipeInPlaceOfTheLogIsAnOpenErrorAtOnce) {
    LogWorld world;
    ASSERT_EQ(::mkfifo(world.logFile().c_str(), 0600), 0);
    world.log.startLoggingData();
    EXPECT_FALSE(world.log.loggingActive());
    EXPECT_EQ(world.person.messageTexts(), Texts{kOpenError});
}
#endif

TEST(LogCommands, StartThatCannotOpenTheFileLeavesLoggingOff) {
    for (const bool portOutOfRange : {true, false}) {
        LogWorld world;
        world.state.activePort = portOutOfRange ? "COM 0" : "COM 1";
        if (!portOutOfRange) {
            std::filesystem::remove_all(world.dir.path());
        }
        world.log.startLoggingData();
        EXPECT_FALSE(world.log.loggingActive()) << portOutOfRange;
        EXPECT_EQ(world.person.messageTexts(), Texts{kOpenError}) << portOutOfRange;
        EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Stop);
    }
}

TEST(LogCommands, AutomationAndSystemTestOpenTheirLogsSilently) {
    LogWorld world;
    world.log.startLoggingData();
    world.run(20);
    world.state.lastErrorCode = "TC";
    world.log.startFreshLog();
    world.run(30);
    EXPECT_EQ(world.fileLines().size(), 1u) << "emptied, then the 10:00:45 line";
    EXPECT_TRUE(world.fileLines()[0].ends_with(" TC ")) << "the last error is kept";
    EXPECT_EQ(world.log.recentLines().oldestFirst().size(), 1u) << "the ring starts again";

    const auto testLog = world.dir.file("003_001.log");
    ASSERT_FALSE(world.log.openTestLog(testLog)) << "no error";
    world.log.writeLine();
    world.log.close();
    ASSERT_TRUE(world.log.openExistingLog(testLog));
    world.log.writeLine();
    world.log.close();
    const std::string testLines = test::readBytes(testLog);
    EXPECT_EQ(std::count(testLines.begin(), testLines.end(), '\n'), 2) << "the final line appends";

    EXPECT_FALSE(world.log.openExistingLog(world.dir.file("003_002.log")));
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("003_002.log")));
    EXPECT_EQ(world.person.messageTexts(), (Texts{kStarted, kOpenError}));
}

TEST(LogCommands, WriteFailureOnAFullDiskIsReportedOnceAndStopsLogging) {
    LogWorld world;
    std::filesystem::create_symlink("/dev/full", world.logFile());
    world.log.startLoggingData();
    world.run(120);
    EXPECT_FALSE(world.log.loggingActive());
    ASSERT_EQ(world.person.messages.size(), 2u);
    EXPECT_EQ(world.person.messages[1].icon, MessageIcon::Stop);
    EXPECT_NE(world.person.messages[1].text.find("No space left on device"), std::string::npos);
}

// Save Current Log with two lines logged and a copy of that name saved earlier.
struct SaveWorld : LogWorld {
    SaveWorld() {
        std::filesystem::create_directory(dir.file("saved"));
        test::writeBytes(copyPath, "an earlier copy");
        log.startLoggingData();
        run(50);
    }
    void saveAs(bool accepted, const std::string& fullPath) {
        person.saveLogChoice = {accepted, fullPath};
        log.saveCurrentLog();
    }
    std::string copyPath = saveLogFullPath(dir.file("saved").string(), "My VDR Log", ".wri ");
};

TEST(SaveCurrentLog, CopiesTheLogOverTheChosenFileAndLeavesLoggingOff) {
    SaveWorld world;
    world.person.whileSaveLogDialog = [&world] { world.run(60); };
    world.saveAs(false, world.copyPath);
    EXPECT_FALSE(world.log.loggingActive()) << "even when cancelled";
    EXPECT_EQ(world.loggedTimes().size(), 2u) << "ticks inside the dialog wrote nothing";
    EXPECT_EQ(test::readBytes(world.copyPath), "an earlier copy");

    world.person.whileSaveLogDialog = nullptr;
    world.saveAs(true, world.copyPath);
    EXPECT_EQ(world.person.saveLogDialogs, (Texts{"/home/tester", "/home/tester"}));
    EXPECT_EQ(test::readBytes(world.copyPath), test::readBytes(world.logFile()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(world.dir.file("saved")), {}), 1)
        << "no temporary file left beside it";
    ASSERT_EQ(world.person.messages.size(), 2u) << "the question only, no message on success";
    EXPECT_EQ(world.person.messages[1].icon, MessageIcon::Question);
}

TEST(SaveCurrentLog, AnExistingFileIsReplacedOnlyWhenTheOperatorSaysYes) {
    SaveWorld world;
    world.person.yesNoAnswer = MessageAnswer::No;
    world.saveAs(true, world.copyPath);
    EXPECT_EQ(test::readBytes(world.copyPath), "an earlier copy");
    ASSERT_EQ(world.person.messages.size(), 2u);
    EXPECT_EQ(world.person.messages[1].text,
              "\n\"" + world.copyPath + "\" already exists.\n\nDo you want to replace it?\n");

    const std::string fresh = (world.dir.file("saved") / "fresh.log").string();
    world.saveAs(true, fresh);
    EXPECT_EQ(test::readBytes(fresh), test::readBytes(world.logFile()));
    EXPECT_EQ(world.person.messages.size(), 2u) << "a new file is not asked about";
}

#ifndef _WIN32
TEST(SaveCurrentLog, AReadOnlyFileIsNeverReplaced) {
    SaveWorld world;
    std::filesystem::permissions(world.copyPath, std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::group_read);
    world.saveAs(true, world.copyPath);
    EXPECT_EQ(test::readBytes(world.copyPath), "an earlier copy");
    EXPECT_EQ(world.person.messageTexts().back(),
              "\nError Saving File\n\nThe file you chose is read-only.\n\nPlease choose a "
              "different path or file name.\n ");
    EXPECT_EQ(world.person.messages.back().icon, MessageIcon::Exclamation);
}
#endif

TEST(SaveCurrentLog, AFullDiskGivesTheSystemsReasonAndKeepsTheEarlierCopy) {
    test::SmallFilesystem disk(64 * 1024);
    KQVDR_NEED_SMALL_FILESYSTEM(disk);
    SaveWorld world;
    world.run(20 * 60); // a log of some kilobytes
    test::writeBytes(disk.file("copy.log"), "an earlier copy");
    disk.fillLeaving(0);
    world.saveAs(true, disk.file("copy.log").string());
    EXPECT_EQ(test::readBytes(disk.file("copy.log")), "an earlier copy");
    const std::string shown = world.person.messageTexts().back();
    EXPECT_NE(shown.find("No space left on device"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("not valid"), std::string::npos) << shown;
}

TEST(SaveCurrentLog, RefusalsLeaveEveryFileAsItWas) {
    struct Case {
        const char* name;
        std::string fullPath; // empty: the usual copy
        const char* message;
    };
    const Case cases[] = {
        {"no log on disk", "", "\nAn Operational Log has not been started."},
        {"directory missing", "/nonexistent-kqvdr/My VDR Log.wri", kInvalidPath},
        {"relative path", "My VDR Log.wri", kInvalidPath},
        {"the log itself", "vdr_com1.log",
         "\nError Saving File\n\nThe current operational log cannot be saved over itself.\n\n"
         "Please choose a different path or file name.\n "},
    };
    for (const Case& c : cases) {
        SaveWorld world;
        const std::string logged = test::readBytes(world.logFile());
        if (c.fullPath.empty()) {
            std::filesystem::remove(world.logFile());
        }
        world.saveAs(true, c.fullPath.empty()             ? world.copyPath
                           : c.fullPath == "vdr_com1.log" ? world.logFile().string()
                                                          : c.fullPath);
        EXPECT_EQ(world.person.messageTexts().back(), c.message) << c.name;
        EXPECT_EQ(world.person.messages.back().icon, MessageIcon::Exclamation) << c.name;
        EXPECT_EQ(test::readBytes(world.copyPath), "an earlier copy") << c.name;
        if (!c.fullPath.empty()) {
            EXPECT_EQ(test::readBytes(world.logFile()), logged) << c.name;
        }
    }
}

} // namespace
} // namespace kqvdr
