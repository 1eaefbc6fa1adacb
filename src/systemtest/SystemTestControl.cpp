#include "SystemTestControl.h"

#include "AutomationEvent.h"
#include "Clock.h"
#include "InstrumentState.h"
#include "MethodFile.h"
#include "MethodStore.h"
#include "OperationalLog.h"
#include "Operator.h"
#include "SystemTestRunner.h"
#include "TestSequence.h"
#include "TestSerial.h"
#include "TimeText.h"
#include "Utf8Path.h"

#include <algorithm>
#include <cstdio>

namespace kqvdr {
namespace {

const char* const kSequenceMissing =
    "The System Tests sequence file cannot be found.\n\nA System Test will not be carried out.";
const char* const kSequenceDamaged =
    "The System Tests sequence file is damaged.\n\nA System Test will not be carried out.";
const char* const kNoTest = "A System Test will not be carried out.";
const char* const kStopped = "\nThe System Test has been stopped.\n\nAnalysis of the instruments "
                             "performance cannot be carried out.";
const char* const kAutomationRuns =
    "\nAn automation is running.\n\nA System Test can be started once the automation has "
    "been stopped.\n ";

std::string dateTimeText(const LocalTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", time.year, time.month, time.day,
                  time.hour, time.minute);
    return text;
}

} // namespace

SystemTestControl::SystemTestControl(Parts parts, std::filesystem::path programDir,
                                     std::function<std::string()> title)
    : parts_(parts), programDir_(std::move(programDir)), title_(std::move(title)),
      testMarker_(programDir_ / kSystemTestMarkerFile) {
    parts_.runner.setHooks({[this] { return openTestLog(); }, [this] { endTest(); }});
}

std::filesystem::path SystemTestControl::testLogPath() const {
    if (instrument_.saveToNetwork) {
        return instrument_.networkLogPath;
    }
    return programDir_ / (instrument_.testSerial + ".log");
}

std::string SystemTestControl::runningTestText() const {
    return "\nThe System Test of instrument " + shownSerial(instrument_.testSerial) +
           " is running.\n\n";
}

bool SystemTestControl::refuseSecondJob() {
    if (parts_.runner.running()) {
        parts_.person.message(runningTestText() +
                                  "Stop it with \"Stop System Test\" before starting another.\n ",
                              MessageIcon::Exclamation);
        return true;
    }
    if (parts_.automation.running()) {
        parts_.person.message(kAutomationRuns, MessageIcon::Exclamation);
        return true;
    }
    return false;
}

bool SystemTestControl::refuseAutomation() {
    if (!parts_.runner.running()) {
        return false;
    }
    parts_.person.message(runningTestText() +
                              "The automation can be used once the System Test has ended.\n ",
                          MessageIcon::Exclamation);
    return true;
}

bool SystemTestControl::refuseLogCommand() {
    if (!parts_.log.testLogOpen()) {
        return false;
    }
    parts_.person.message(runningTestText() +
                              "The open log is the test's own; it is closed when the test "
                              "ends.\n ",
                          MessageIcon::Exclamation);
    return true;
}

void SystemTestControl::runSystemTest() {
    // A second start would save the test's methods over the operator's own.
    if (refuseSecondJob()) {
        return;
    }
    parts_.runner.clearCompleted();
    const TestSequenceRead sequence = readTestSequence(programDir_);
    if (sequence.status != ArchiveReadStatus::Ok) {
        // A short or unreadable timetable would run steps nobody wrote.
        parts_.person.message(sequence.status == ArchiveReadStatus::CannotOpen ? kSequenceMissing
                              : sequence.status == ArchiveReadStatus::Unreadable
                                  ? unreadableFileText(kTestSequenceFile, sequence.error) + "\n\n" +
                                        kNoTest
                                  : kSequenceDamaged,
                              MessageIcon::Exclamation);
        return;
    }
    loadTestSteps(parts_.table, sequence.steps);
    const std::string start = testStartTime(parts_.table);
    const std::string end = testEndTime(parts_.table);
    const auto chosen = parts_.windows.identifyInstrument(start, end);
    if (!chosen) {
        return;
    }
    parts_.state.lastErrorCode = " - ";
    // The instrument holds the cut test's methods now: saving them would lose the operator's,
    // which this test sends back at its end instead. Nothing is asked: a remote start waits for
    // nobody at the panel.
    const bool keepSaved = testMarker_.present();
    if (!parts_.methods.loadSystemTestMethods(keepSaved,
                                              [&] { return markTestUnderWay(*chosen); })) {
        return;
    }
    instrument_ = *chosen;
    logOpened_ = false;
    logFailure_.clear();
    parts_.windows.minimiseMainWindow();
    ++testsStarted_;
    parts_.runner.start();
    parts_.windows.openProgress(shownSerial(instrument_.testSerial), start + ":00", end + ":00");
}

bool SystemTestControl::markTestUnderWay(const TestInstrument& chosen) {
    const std::error_code error =
        testMarker_.write({{"serial", shownSerial(chosen.testSerial)},
                           {"started", dateTimeText(parts_.runner.clock().now())},
                           {"methods", kMethodsFile}});
    if (error) {
        parts_.person.message("\nThe file \"" + std::string(kSystemTestMarkerFile) +
                                  "\", which keeps track of the test should the computer stop, "
                                  "cannot be written (" +
                                  error.message() + ").\n\n" + kNoTest,
                              MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool SystemTestControl::openTestLog() {
    const std::filesystem::path path = testLogPath();
    if (const std::error_code error = parts_.log.openTestLog(path)) {
        logFailure_ = "\nThe System Test log " + utf8FromPath(path) + " could not be created (" +
                      error.message() + ").\n";
        return false;
    }
    logOpened_ = true;
    parts_.windows.startCounting();
    return true;
}

void SystemTestControl::endTest() {
    parts_.windows.closeProgress();
    if (parts_.log.loggingActive()) {
        parts_.log.close();
    }
    parts_.runner.halt();
    // A test that never opened its log has nothing to analyse: a file of that name is another
    // night's.
    lastEnded_ = {testsStarted_, parts_.runner.completed() && logOpened_, testLogPath()};
    if (lastEnded_.certified) {
        parts_.windows.showResults(instrument_.testSerial, testLogPath());
    } else {
        parts_.windows.warning(title_() + " Control - Warning (" +
                                   shownSerial(instrument_.testSerial) + ")",
                               logFailure_ + kStopped);
        if (logOpened_ && parts_.log.openExistingLog(testLogPath())) {
            if (parts_.state.lastErrorCode != " - ") {
                parts_.log.writeLine();
            }
            parts_.log.close();
        }
    }
    if (parts_.methods.loadMethods(MethodStore::Announce::Silently)) {
        testMarker_.remove();
    }
    parts_.windows.restoreMainWindow();
}

int testProgressPercent(const std::string& start, const std::string& end, const std::string& now,
                        bool firstStepApplied) {
    if (!firstStepApplied) {
        return 0;
    }
    const ElapsedTime total = elapsedTime(start, end);
    const ElapsedTime elapsed = elapsedTime(start, now);
    // A timetable that starts and ends at the same time has no span to divide by.
    if (total.seconds <= 0 || !elapsed.valid()) {
        return 0;
    }
    return std::clamp(
        static_cast<int>(static_cast<long long>(elapsed.seconds) * 100 / total.seconds), 0, 100);
}

} // namespace kqvdr
