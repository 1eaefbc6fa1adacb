#pragma once

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

private:
    bool openTestLog();
    bool refuseSecondJob();
    std::string runningTestText() const;

    Parts parts_;
    std::filesystem::path programDir_;
    std::function<std::string()> title_;
    TestInstrument instrument_;
    // This run's own log: only it is analysed or given a final line.
    bool logOpened_ = false;
    std::string logFailure_; // why this run's log could not be opened
};

// The elapsed share of the timetable, in whole per cent, at `now` ("HH:MM:SS" texts; the span
// counts forward across midnight).
int testProgressPercent(const std::string& start, const std::string& end, const std::string& now);

} // namespace kqvdr
