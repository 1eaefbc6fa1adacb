#include "AutomationFile.h"
#include "CAutomationDlg.h"
#include "ClockSeconds.h"
#include "CommandId.h"
#include "ControlSession.h"
#include "Night.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

#ifdef __SANITIZE_ADDRESS__
// The sanitizer keeps freed memory aside, 256 MB of it by default, which would hide whether the
// program's memory stays flat. ASAN_OPTIONS still overrides this.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=4";
}
#endif

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t kMinute = 60'000;
constexpr std::int64_t kHour = 60 * kMinute;

// Resident memory of this process, in kB.
long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

// Ten events over a week, each selecting a method of its own, so the methods sent tell which
// events fired. Event 5 falls in the hour that summer time skips, event 8 in the hour that
// repeats when it ends.
const Timetable kWeek = {{
    {"MON", "08:00", "RUN", "1"},
    {"MON", "18:00", "STANDBY", "2"},
    {"TUE", "08:00", "RUN", "3"},
    {"TUE", "18:00", "GAS SAVE", "4"},
    {"WED", "02:30", "RUN", "5"},
    {"THU", "08:00", "STANDBY", "6"},
    {"FRI", "08:00", "RUN", "7"},
    {"SAT", "02:30", "GAS SAVE", "8"},
    {"SAT", "18:00", "RUN", "9"},
    {"SUN", "18:00", "STANDBY", "10"},
}};

// The operator of the soak: starts logging and the timetable, answers every fault (clearing
// some, dismissing others, which someone then clears at the instrument a quarter of an hour
// later), and after the automation stops starts logging again and restarts the events that
// have not fired yet.
class SoakOperator {
public:
    explicit SoakOperator(Night& night) : night_(night) {}

    std::vector<int> firedMethods() const {
        std::vector<int> methods;
        for (const SentCommand& command : night_.sent(9)) {
            methods.push_back(command.words.empty() ? -1 : command.words[0]);
        }
        return methods;
    }

    void restartWhatIsLeft() {
        if (night_.session().state().mode() == 4) {
            return; // the fault is still standing; cleared at the instrument, then restarted
        }
        const std::vector<int> fired = firedMethods();
        if (fired.size() >= kWeek.size()) {
            return; // the week's timetable is done, and its end closed the log
        }
        if (!night_.session().log().loggingActive()) {
            night_.command(CommandId::StartLogging);
        }
        Timetable left = defaultTimetable();
        std::size_t next = 0;
        for (const AutomationEvent& event : kWeek) {
            if (std::find(fired.begin(), fired.end(), std::stoi(event.eventMethod)) ==
                fired.end()) {
                left[next++] = event;
            }
        }
        restarts_.push_back(night_.clock().utcMs());
        if (next == 0 || night_.session().automation().running()) {
            return;
        }
        ASSERT_FALSE(writeAutomationFile(night_.dir(), left));
        night_.command(CommandId::Automation);
        Night::click(night_.window<CAutomationDlg>(), QStringLiteral("Ok"));
    }

    // Faults three to five hours apart, none within the hour before an event.
    void scheduleFaults(std::int64_t from, std::int64_t until,
                        const std::vector<std::int64_t>& events) {
        std::mt19937 random(20271031);
        std::uniform_int_distribution<std::int64_t> gap(3 * kHour, 5 * kHour);
        std::uniform_int_distribution<int> kind(0, 4);
        static const char* const kFaults[] = {"GAS", "NEB", "EVP", "FAN", "OT"};
        for (std::int64_t at = from + gap(random); at < until; at += gap(random)) {
            const bool nearEvent = std::any_of(events.begin(), events.end(), [at](std::int64_t e) {
                return e > at - 5 * kMinute && e < at + kHour;
            });
            if (nearEvent) {
                continue;
            }
            const bool cleared = random() % 2 == 0;
            faults_.push_back({at, cleared});
            const std::string fault = std::string("fault ") + kFaults[kind(random)];
            night_.atUtc(at, [this, fault] { night_.instrument(fault); });
            // A fault left standing (a dismissed dialog, or one that no longer opens because
            // its kind was dismissed before) is cleared at the instrument after a while.
            night_.atUtc(at + 15 * kMinute, [this] {
                if (night_.session().state().mode() == 4) {
                    night_.clearFaultAtTheInstrument();
                }
            });
            night_.atUtc(at + 16 * kMinute, [this] { restartWhatIsLeft(); });
        }
        // The fault dialogs: the fault that was raised last says whether it is cleared.
        night_.whenShown(
            [](const SeenDialog& seen) { return seen.kind.endsWith(QLatin1String("ErrDlg")); }, 5s,
            [this](QWidget* dialog) {
                const std::int64_t now = night_.clock().utcMs();
                const auto last = std::find_if(faults_.rbegin(), faults_.rend(),
                                               [now](const Fault& f) { return f.at <= now; });
                const bool cleared = last != faults_.rend() && last->cleared;
                if (cleared) {
                    Night::click(dialog, QStringLiteral("Clear Error"));
                } else {
                    night_.pressKey(Qt::Key_Escape, dialog);
                }
            });
        // The automation ends at every fault: its log is not saved, and half a minute later the
        // operator starts again.
        night_.whenShown([](const SeenDialog& seen) { return seen.kind == "CSaveLogDlg"; }, 2s,
                         [this](QWidget* dialog) {
                             Night::click(dialog, QStringLiteral("Cancel"));
                             night_.atUtc(night_.clock().utcMs() + 30'000,
                                          [this] { restartWhatIsLeft(); });
                         });
    }

    struct Fault {
        std::int64_t at;
        bool cleared;
    };
    std::vector<Fault> faults_;
    std::vector<std::int64_t> restarts_;

    // Every fault stops the automation, which closes its log; the log is off from the fault
    // until the operator has started again.
    bool inFaultEpisode(std::int64_t utcMs) const {
        return std::any_of(faults_.begin(), faults_.end(), [&](const Fault& fault) {
            const auto restart = std::lower_bound(restarts_.begin(), restarts_.end(), fault.at);
            const std::int64_t until = restart == restarts_.end() ? INT64_MAX : *restart;
            return utcMs >= fault.at - 30'000 && utcMs <= until + 61'000;
        });
    }

private:
    Night& night_;
};

TEST(WeekSoak, EveryEventFiresOnceAndTheLogKeepsGoingThroughFaultsStallsAndSummerTime) {
    QElapsedTimer elapsed;
    elapsed.start();
    Night night(localDate(2027, 3, 22, 7, 0, 0), 60);
    night.clock().changeOffsetAt(night.moment("WED 02:00:00"), 120);
    night.clock().changeOffsetAt(night.moment("SAT 02:00:00") + kHour, 60);
    SoakOperator person(night);
    std::vector<std::int64_t> eventTimes;
    for (const AutomationEvent& event : kWeek) {
        eventTimes.push_back(night.moment(event.eventDay + " " + event.eventTime + ":00"));
    }
    const std::int64_t start = night.clock().utcMs();
    const std::int64_t end = start + 7 * 24 * kHour; // the two offset changes cancel out
    person.scheduleFaults(start + 2 * kHour, end - 2 * kHour, eventTimes);
    night.at("MON 07:01:00", [&] { person.restartWhatIsLeft(); });
    // Stalls: a few seconds across an event's minute, and one of most of a minute.
    night.atUtc(night.moment("TUE 07:59:59") + 500, [&] { night.stall(3s); });
    night.atUtc(night.moment("THU 13:00:10"), [&] { night.stall(25s); });
    night.atUtc(night.moment("FRI 07:59:58"), [&] { night.stall(5s); });
    // Each tick stands for two seconds: the catch-up rules are what the week exercises.
    night.setTickLength(2s);

    std::vector<long> dailyKb;
    for (int day = 1; day <= 7; ++day) {
        night.runUntilUtc(start + day * 24 * kHour);
        dailyKb.push_back(residentKb());
    }
    const long dayOneKb = dailyKb.front();
    const long lastDayKb = dailyKb.back();

    std::vector<int> fired = person.firedMethods();
    std::sort(fired.begin(), fired.end());
    EXPECT_EQ(fired, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    for (const SentCommand& command : night.sent(9)) {
        const int method = command.words.at(0);
        const AutomationEvent& event = kWeek.at(static_cast<std::size_t>(method - 1));
        char shown[8];
        std::snprintf(shown, sizeof shown, "%02d:%02d", command.at.hour, command.at.minute);
        if (method == 5) {
            EXPECT_STREQ(shown, "03:00") << "the skipped hour's event comes at its end";
        } else {
            EXPECT_EQ(shown, event.eventTime) << "event " << method;
        }
    }

    // No gap in the log longer than a minute, but from a fault until the operator started again.
    std::int64_t previous = 0;
    std::int64_t longestInEpisode = 0;
    const std::int64_t lastEvent = night.sent(9).empty() ? 0 : [&] {
        const LocalTime at = night.sent(9).back().at;
        return (localSeconds(at) - std::int64_t{at.utcOffsetMinutes} * 60) * 1000;
    }();
    for (const LoggedLine& line : night.logged()) {
        if (line.utcMs > lastEvent) {
            break; // the timetable's end closes the log
        }
        const std::int64_t gap = previous == 0 ? 0 : line.utcMs - previous;
        if (person.inFaultEpisode(previous)) {
            longestInEpisode = std::max(longestInEpisode, gap);
        } else {
            EXPECT_LE(gap, 61'000) << "gap before " << line.text;
        }
        previous = line.utcMs;
    }
    EXPECT_GT(night.logged().size(), 7u * 24 * 120 * 8 / 10);
    EXPECT_GE(person.faults_.size(), 20u);
    EXPECT_TRUE(night.exitCodes().empty());

    std::printf("week soak: %lld ticks, %zu faults, %zu log lines (longest gap around a fault "
                "%lld s), resident %ld kB after day 1 and %ld kB at the end, %.1f s\n",
                static_cast<long long>(night.ticks()), person.faults_.size(), night.logged().size(),
                static_cast<long long>(longestInEpisode / 1000), dayOneKb, lastDayKb,
                static_cast<double>(elapsed.elapsed()) / 1000.0);
    for (std::size_t day = 0; day < dailyKb.size(); ++day) {
        std::printf("  resident after day %zu: %ld kB\n", day + 1, dailyKb[day]);
    }
    // A hundred bytes lost a tick would be thirty megabytes over the week.
    EXPECT_LT(lastDayKb - dayOneKb, 24 * 1024) << "memory stays flat";
}

} // namespace
} // namespace kqvdr::test
