#include "AutomationFile.h"
#include "CAutomationDlg.h"
#include "CStopSystemTestDlg.h"
#include "CommandId.h"
#include "ControlSession.h"
#include "Night.h"

#include <gtest/gtest.h>

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

const LocalTime kMondayEvening = localDate(2027, 3, 22, 17, 50, 0);

// "HH:MM:SS hold" or "HH:MM:SS release" for each change, in order.
std::vector<std::string> sleepTimeline(const Night& night) {
    std::vector<std::string> out;
    for (const SleepChange& change : night.sleepChanges()) {
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d:%02d ", change.at.hour, change.at.minute,
                      change.at.second);
        out.push_back(time + std::string(change.held ? "hold" : "release"));
    }
    return out;
}

void startLog(Night& night, const std::string& when) {
    night.at(when, [&night] { night.command(CommandId::StartLogging); });
}

// Tools > Automation at `when`, Ok on the timetable stored beforehand.
void startAutomation(Night& night, const std::string& when,
                     std::initializer_list<AutomationEvent> events) {
    Timetable table = defaultTimetable();
    std::size_t i = 0;
    for (const AutomationEvent& event : events) {
        table[i++] = event;
    }
    ASSERT_FALSE(writeAutomationFile(night.dir(), table));
    night.at(when, [&night] { night.command(CommandId::Automation); });
    night.at(when,
             [&night] { Night::click(night.window<CAutomationDlg>(), QStringLiteral("Ok")); });
}

struct SleepCase {
    const char* name;
    std::function<void(Night&)> script;
    const char* until;
    std::vector<std::string> timeline;
    std::function<void(Night&)> alsoCheck = [](Night&) {};
};

// Named in test listings by its name alone.
void PrintTo(const SleepCase& c, std::ostream* out) {
    *out << c.name;
}

class KeepAwakeNight : public testing::TestWithParam<SleepCase> {};

TEST_P(KeepAwakeNight, HoldsTheComputerAwakeExactlyWhileSomethingRuns) {
    const SleepCase& c = GetParam();
    Night night(kMondayEvening);
    c.script(night);
    night.runUntil(c.until);
    EXPECT_EQ(sleepTimeline(night), c.timeline);
    c.alsoCheck(night);
}

const SleepCase kSleepCases[] = {
    {"LogStartedAndStoppedFromTheMenu",
     [](Night& night) {
         startLog(night, "MON 17:50:05");
         night.at("MON 17:55:00", [&night] { night.command(CommandId::StopLogging); });
     },
     "MON 17:56:00",
     {"17:50:05 hold", "17:55:00 release"}},
    {"LogEndedByAFaultLeftUncleared",
     [](Night& night) {
         startLog(night, "MON 17:50:05");
         night.at("MON 17:51:00", [&night] { night.instrument("fault GAS"); });
         night.whenShown([](const SeenDialog& seen) { return seen.kind == "CGasErrDlg"; }, 5s,
                         [&night](QWidget* dialog) { night.pressKey(Qt::Key_Escape, dialog); });
     },
     // The next sweep brings the dialog at 17:51:01; Escape five seconds later ends the log.
     "MON 17:53:00",
     {"17:50:05 hold", "17:51:06 release"}},
    {"LogEndedByTheInstrumentFallingSilent",
     [](Night& night) {
         startLog(night, "MON 17:50:05");
         night.at("MON 17:52:00", [&night] { night.instrument("silent on"); });
     },
     "MON 17:53:00",
     {"17:50:05 hold", "17:52:02 release"}},
    {"AutomationToItsLastEvent",
     [](Night& night) {
         startAutomation(night, "MON 17:55:00",
                         {{"MON", "18:00", "RUN", "1"}, {"MON", "18:10", "STANDBY", "2"}});
     },
     "MON 18:15:00",
     {"17:55:00 hold", "18:10:00 release"}},
    {"LogStoppedDuringAnAutomationKeepsItAwakeUntilTheAutomationEnds",
     [](Night& night) {
         startAutomation(night, "MON 17:55:00",
                         {{"MON", "18:00", "RUN", "1"}, {"MON", "18:10", "STANDBY", "2"}});
         night.at("MON 18:05:00", [&night] { night.command(CommandId::StopLogging); });
     },
     "MON 18:15:00",
     {"17:55:00 hold", "18:10:00 release"},
     [](Night& night) {
         EXPECT_EQ(night.lines("vdr_com1.log").back().substr(0, 8), "18:04:45")
             << "the log stopped at 18:05";
     }},
    {"SystemTestStoppedByTheOperator",
     [](Night& night) {
         night.at("MON 17:51:00", [&night] { night.command(CommandId::RunSystemTest); });
         night.whenShown([](const SeenDialog& seen) { return seen.kind == "CSystemTestDlg"; }, 3s,
                         [&night](QWidget* dialog) { night.pressKey(Qt::Key_Return, dialog); });
         night.at("MON 18:05:00", [&night] {
             Night::click(night.window<CStopSystemTestDlg>(), QStringLiteral("Stop System Test"));
         });
     },
     "MON 18:10:00",
     {"17:51:03 hold", "18:05:00 release"}},
};

INSTANTIATE_TEST_SUITE_P(Runs, KeepAwakeNight, testing::ValuesIn(kSleepCases),
                         [](const testing::TestParamInfo<SleepCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(KeepAwakeNightEnd, TheProgramEndingLetsTheComputerSleep) {
    Night night(kMondayEvening);
    startLog(night, "MON 17:50:05");
    night.runUntil("MON 17:52:00");
    ASSERT_EQ(sleepTimeline(night), std::vector<std::string>{"17:50:05 hold"});

    night.session().shutdown();
    EXPECT_EQ(sleepTimeline(night),
              (std::vector<std::string>{"17:50:05 hold", "17:52:00 release"}));
}

} // namespace
} // namespace kqvdr::test
