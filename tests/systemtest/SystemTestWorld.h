#pragma once

#include "AutomationEvent.h"
#include "ManualClock.h"
#include "MethodFile.h"
#include "MethodWorld.h"
#include "OperationalLog.h"
#include "SystemTestControl.h"
#include "SystemTestRunner.h"
#include "TestSequence.h"

#include <string>
#include <vector>

namespace kqvdr::test {

// The windows of the system test, recorded; the identification dialog answers as scripted.
class FakeTestWindows : public SystemTestWindows {
public:
    std::optional<TestInstrument> identifyInstrument(const std::string& start,
                                                     const std::string& end) override {
        shownTimes = {start, end};
        return answer;
    }
    void minimiseMainWindow() override { events.push_back("minimise"); }
    void restoreMainWindow() override { events.push_back("restore"); }
    void openProgress(const std::string& serial, const std::string& start,
                      const std::string& end) override {
        events.push_back("progress " + serial + " " + start + " " + end);
    }
    void startCounting() override { events.push_back("counting"); }
    void closeProgress() override { events.push_back("close progress"); }
    void showResults(const std::string& serial, const std::filesystem::path& log) override {
        events.push_back("results " + serial + " " + log.filename().string());
    }
    void warning(const std::string& caption, const std::string& text) override {
        events.push_back("warning " + caption);
        warnings.push_back(text);
    }

    std::optional<TestInstrument> answer = TestInstrument{"003_001", false, {}};
    std::pair<std::string, std::string> shownTimes;
    std::vector<std::string> events;
    std::vector<std::string> warnings;
};

// The system test on a clock of its own, with the test methods and the log channel in a fresh
// data directory.
struct SystemTestWorld : MethodWorld {
    SystemTestWorld() {
        setTime(17, 50, 0);
        state.methods = numberedMethods("Mine");
        writeMethodFile(dir.file("Test.mtd"), numberedMethods("Test"));
    }

    void setTime(int hour, int minute, int second) {
        clock.time.hour = hour;
        clock.time.minute = minute;
        clock.time.second = second;
    }

    // Steps as "HH:MM MODE METHOD" texts; the rest unset.
    void writeSequence(const std::vector<AutomationEvent>& steps) {
        Timetable table = defaultTimetable();
        for (std::size_t i = 0; i < steps.size(); ++i) {
            table[i] = steps[i];
        }
        writeTestSequence(dir.file("Test.seq"), table);
    }

    // `seconds` of ten ticks a second, as the poll hands them on while the test runs.
    void run(int seconds) {
        for (int s = 0; s < seconds; ++s) {
            for (int i = 0; i < 10; ++i) {
                if (log.loggingActive()) {
                    log.tick();
                }
                if (runner.running()) {
                    runner.tick();
                }
            }
            clock.advanceSeconds(1);
        }
    }

    // The Set mode (0) and Select method (9) frames, as "mode N" and "method N".
    std::vector<std::string> steps() const {
        std::vector<std::string> out;
        for (const SentFrame& frame : sent()) {
            if (frame.code == 0 || frame.code == 9) {
                out.push_back((frame.code == 0 ? "mode " : "method ") +
                              std::to_string(frame.words.at(0)));
            }
        }
        return out;
    }

    ManualClock clock;
    OperationalLog log{state, clock, person, dir.path(), "/home/tester"};
    AutomationTable table;
    SystemTestRunner runner{state, driver, clock, table};
    FakeTestWindows windows;
    InactiveRunner automation;
    SystemTestControl control{{state, table, runner, store, log, person, windows, automation},
                              dir.path(),
                              [] { return std::string("KQ-VDR1000 Control"); }};
};

} // namespace kqvdr::test
