#include "AutomationFile.h"
#include "AutomationRunner.h"
#include "CAutomationDlg.h"
#include "CStopAutomationDlg.h"
#include "CommandId.h"
#include "ControlSession.h"
#include "Night.h"

#include <gtest/gtest.h>

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

const LocalTime kMondayEvening = localDate(2027, 3, 22, 17, 50, 0);

// The timetable is stored beforehand, as the operator's last one; Tools > Automation offers it
// and Ok starts it.
void startTimetable(Night& night, const std::string& when, const Timetable& timetable) {
    ASSERT_FALSE(writeAutomationFile(night.dir(), timetable));
    night.at(when, [&night] { night.command(CommandId::Automation); });
    night.at(when,
             [&night] { Night::click(night.window<CAutomationDlg>(), QStringLiteral("Ok")); });
}

Timetable timetable(std::initializer_list<AutomationEvent> events) {
    Timetable table = defaultTimetable();
    std::size_t i = 0;
    for (const AutomationEvent& event : events) {
        table[i++] = event;
    }
    return table;
}

// "HH:MM:SS mode N" for each Set mode and Select method that reached the instrument.
std::vector<std::string> eventCommands(const Night& night) {
    std::vector<std::string> out;
    for (const SentCommand& command : night.sent()) {
        if ((command.code == 0 || command.code == 9) && !command.words.empty()) {
            char time[16];
            std::snprintf(time, sizeof time, "%02d:%02d:%02d ", command.at.hour, command.at.minute,
                          command.at.second);
            out.push_back(time + std::string(command.code == 0 ? "mode " : "method ") +
                          std::to_string(command.words[0]));
        }
    }
    return out;
}

TEST(AutomationNight, OpeningTheEditorAndCancellingLeavesTheRunningTimetableOnTime) {
    Night night(kMondayEvening);
    startTimetable(night, "MON 17:55:00",
                   timetable({{"MON", "18:00", "RUN", "1"},
                              {"MON", "19:00", "GAS SAVE", "2"},
                              {"MON", "20:00", "STANDBY", "3"}}));
    night.at("MON 18:30:00", [&] { night.command(CommandId::Automation); });
    night.at("MON 18:30:10",
             [&] { Night::click(night.window<CAutomationDlg>(), QStringLiteral("Cancel")); });
    night.setTickLength(1s);
    night.runUntil("MON 20:05:00");

    EXPECT_EQ(
        eventCommands(night),
        (std::vector<std::string>{"18:00:00 mode 1", "18:00:00 method 1", "19:00:00 mode 2",
                                  "19:00:00 method 2", "20:00:00 mode 0", "20:00:00 method 3"}));
    const auto lines = night.lines("vdr_com1.log");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().substr(0, 8), "18:00:15") << "the log event 1 started is whole";
    EXPECT_EQ(lines.back().substr(0, 8), "19:59:45");
    EXPECT_FALSE(night.session().automation().running()) << "ended after its last event";
}

TEST(AutomationNight, TwoEventsInOneMinuteLeaveTheSecondEventsModeAndMethod) {
    Night night(kMondayEvening);
    startTimetable(night, "MON 17:55:00",
                   timetable({{"MON", "18:00", "RUN", "1"}, {"MON", "18:00", "STANDBY", "2"}}));
    night.runUntil("MON 18:01:00");

    EXPECT_EQ(eventCommands(night),
              (std::vector<std::string>{"18:00:00 mode 1", "18:00:00 method 1", "18:00:00 mode 0",
                                        "18:00:00 method 2"}));
    InstrumentState& state = night.session().state();
    EXPECT_EQ(state.mode(), 0) << "STANDBY, as event 2 asked";
    EXPECT_EQ(state.parameters.measured(ParameterIndex::MethodNumber), 2);
}

// The program gets no tick from 17:59:59.5 to 18:00:02.5, then none for five minutes over the
// half-minute lines: the event and the lines still come, late.
TEST(AutomationNight, AStallAcrossTheEventsSecondStillFiresItAndKeepsTheLogLines) {
    Night night(kMondayEvening);
    startTimetable(night, "MON 17:55:00",
                   timetable({{"MON", "18:00", "RUN", "4"}, {"MON", "18:10", "STANDBY", "5"}}));
    night.atUtc(night.moment("MON 17:59:59") + 500, [&] { night.stall(3s); });
    night.at("MON 18:05:10", [&] { night.stall(5min); });
    night.runUntil("MON 18:12:00");

    EXPECT_EQ(eventCommands(night),
              (std::vector<std::string>{"18:00:02 mode 1", "18:00:02 method 4", "18:10:10 mode 0",
                                        "18:10:10 method 5"}));
    const auto lines = night.lines("vdr_com1.log");
    std::vector<std::string> times;
    for (const std::string& line : lines) {
        times.push_back(line.substr(0, 8));
    }
    const std::vector<std::string> expected = {"18:00:15", "18:00:45", "18:01:15", "18:01:45",
                                               "18:02:15", "18:02:45", "18:03:15", "18:03:45",
                                               "18:04:15", "18:04:45", "18:10:10"};
    times.resize(std::min(times.size(), expected.size()));
    EXPECT_EQ(times, expected) << "the lines the stall swallowed come as one late line";
}

// 03:00 becomes 02:00 again: events in the repeated hour fire once, an event after it waits
// for its second pass, and the log keeps one line every half minute of real time.
TEST(AutomationNight, TheNightSummerTimeEndsFiresEachEventOnceAndLogsEveryHalfMinute) {
    Night night(localDate(2027, 10, 30, 23, 50, 0), 120);
    night.clock().changeOffsetAt(night.moment("SUN 03:00:00"), 60);
    startTimetable(night, "SAT 23:55:00",
                   timetable({{"SUN", "00:00", "RUN", "1"},
                              {"SUN", "02:30", "GAS SAVE", "2"},
                              {"SUN", "02:45", "STANDBY", "3"},
                              {"SUN", "03:10", "RUN", "4"},
                              {"SUN", "04:00", "STANDBY", "5"},
                              {"SUN", "04:30", "STANDBY", "6"}}));
    night.setTickLength(1s);
    night.runUntil("SUN 04:00:10");

    std::vector<std::string> methods;
    for (const std::string& command : eventCommands(night)) {
        if (command.find("method") != std::string::npos) {
            methods.push_back(command);
        }
    }
    EXPECT_EQ(methods, (std::vector<std::string>{"00:00:00 method 1", "02:30:00 method 2",
                                                 "02:45:00 method 3", "03:10:00 method 4",
                                                 "04:00:00 method 5"}));
    const auto& logged = night.logged();
    ASSERT_EQ(logged.size(), 600u) << "00:00:15 to 03:59:45, with the hour that repeats";
    for (std::size_t i = 1; i < logged.size(); ++i) {
        EXPECT_EQ(logged[i].utcMs - logged[i - 1].utcMs, 30'000) << logged[i].text;
    }
}

TEST(AutomationNight, ClosingTheInformationBoxAfterTheTimetableEndedLeavesTheProgramRunning) {
    Night night(kMondayEvening);
    startTimetable(night, "MON 17:55:00", timetable({{"MON", "18:00", "RUN", "1"}}));
    night.at("MON 17:59:50", [&] {
        Night::click(night.window<CStopAutomationDlg>(), QStringLiteral("Information"));
    });
    // The operator reads the timetable until well after it has ended.
    night.whenShown([](const SeenDialog& s) { return s.text.contains("Automation Sequence"); }, 60s,
                    [&night](QWidget* box) { night.pressKey(Qt::Key_Return, box); });
    night.runUntil("MON 18:02:00");

    EXPECT_EQ(night.seenCount("QMessageBox", "Automation Sequence"), 1);
    EXPECT_EQ(night.seenCount("CSaveLogDlg"), 1) << "the end offered the log";
    EXPECT_FALSE(night.session().automation().running());
    EXPECT_EQ(night.window<CStopAutomationDlg>(), nullptr);
    EXPECT_TRUE(night.exitCodes().empty());
    const int sweepsBefore = night.sentCount(17);
    night.runUntil("MON 18:03:00");
    EXPECT_GT(night.sentCount(17), sweepsBefore) << "the poll goes on";
}

TEST(AutomationNight, EnterInTheStopWindowDoesNotEndTheRun) {
    Night night(kMondayEvening);
    startTimetable(night, "MON 17:55:00",
                   timetable({{"MON", "18:00", "RUN", "1"}, {"MON", "18:10", "STANDBY", "2"}}));
    night.at("MON 18:05:00",
             [&] { night.pressKey(Qt::Key_Return, night.window<CStopAutomationDlg>()); });
    night.at("MON 18:05:01",
             [&] { night.pressKey(Qt::Key_Enter, night.window<CStopAutomationDlg>()); });
    night.runUntil("MON 18:11:00");

    EXPECT_EQ(night.sent(0).size(), 2u) << "event 2 came at 18:10";
    EXPECT_EQ(night.seenCount("CSaveLogDlg"), 1) << "once, when the timetable ended";
}

} // namespace
} // namespace kqvdr::test
