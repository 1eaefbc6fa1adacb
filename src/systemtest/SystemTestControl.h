#pragma once

#include "RunMarker.h"
#include "SystemTestWindows.h"

#include <filesystem>
#include <functional>
#include <string>

namespace kqvdr {

class MethodStore;
class OperationalLog;
class Operator;
class SystemTestRunner;
class TickRunner;
struct AutomationTable;
struct InstrumentState;

// Run System Test and the test end: the timetable from "Test.seq", the instrument's serial
// number, the swap to the test methods and back, the progress window, and at the end either the
// results or the stopped warning.
class SystemTestControl {
public:
    // How a test ended, for those that follow it from elsewhere.
    struct EndedTest {
        int run = 0;            // the count of tests started when this one began; 0: none yet
        bool certified = false; // ran its whole timetable into its own log: its log may be judged
        std::filesystem::path log;
    };

    struct Parts {
        InstrumentState& state;
        AutomationTable& table;
        SystemTestRunner& runner;
        MethodStore& methods;
        OperationalLog& log;
        Operator& person;
        SystemTestWindows& windows;
        const TickRunner& automation;
    };

    SystemTestControl(Parts parts, std::filesystem::path programDir,
                      std::function<std::string()> title);

    // Tools > Run System Test. Refused while a test is set or an automation runs.
    void runSystemTest();
    // "Stop System Test", pressed by the operator or by the step machine.
    void endTest();

    // Tools > Automation, and Log > Stop Logging Data and Save Current Log while the test's log
    // is open, belong to a running test: each says so and is refused (true).
    bool refuseAutomation();
    bool refuseLogCommand();

    const std::string& testSerial() const { return instrument_.testSerial; }
    std::filesystem::path testLogPath() const;
    // Tests started since the program began, the running one included.
    int testsStarted() const { return testsStarted_; }
    // Set before the results or the stopped warning show, so it is there while they wait.
    const EndedTest& lastEnded() const { return lastEnded_; }

private:
    bool openTestLog();
    bool refuseSecondJob();
    // Written before the first test method is sent: false, with a message, when it cannot be.
    bool markTestUnderWay(const TestInstrument& chosen);
    std::string runningTestText() const;

    Parts parts_;
    std::filesystem::path programDir_;
    std::function<std::string()> title_;
    TestInstrument instrument_;
    // This run's own log: only it is analysed or given a final line.
    bool logOpened_ = false;
    std::string logFailure_; // why this run's log could not be opened
    int testsStarted_ = 0;
    EndedTest lastEnded_;
    // There from the first test method sent until the operator's methods are back: a start that
    // finds it knows a test was cut short, and no test writes over the set it guards.
    RunMarker testMarker_;
};

// The elapsed share of the timetable, in whole per cent, at `now` ("HH:MM:SS" texts; the span
// counts forward across midnight). Until its first step has been applied a test has done none of
// it: 17:29 is not most of a day after an 18:00 start.
int testProgressPercent(const std::string& start, const std::string& end, const std::string& now,
                        bool firstStepApplied);

} // namespace kqvdr
