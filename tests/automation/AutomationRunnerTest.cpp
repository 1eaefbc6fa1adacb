#include "AutomationRunner.h"

#include "FakeSerialDriver.h"
#include "InstrumentState.h"
#include "ManualClock.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

enum Weekday { Sun, Mon, Tue, Wed, Thu, Fri, Sat };

// The runner with the instrument in Standby, on a clock of its own; hooks are recorded in order.
struct RunnerWorld {
    InstrumentState state;
    test::FakeSerialDriver driver;
    test::ManualClock clock;
    AutomationTable table;
    std::vector<std::string> hooks;
    AutomationRunner runner{state,
                            driver,
                            clock,
                            table,
                            {[this] { hooks.push_back("fresh log"); },
                             [this] { hooks.push_back("stopped"); },
                             [this] { hooks.push_back("save log"); }}};

    RunnerWorld() {
        state.parameters[ParameterIndex::OperatingMode].measured = 0;
        at(Mon, 0, 0, 0); // a run starts at the beginning of the week unless a test says
    }

    void set(int number, AutomationEvent event) { table.event(number) = std::move(event); }
    // A day of the week of 22 to 28 March 2027, which starts on a Monday, or of a week later.
    void at(Weekday day, int hour, int minute, int second, int week = 0) {
        LocalTime monday;
        monday.year = 2027;
        monday.month = 3;
        monday.day = 22;
        const int fromMonday = (static_cast<int>(day) + 6) % 7 + 7 * week;
        clock.time = localTimeAt(localSeconds(monday) + std::int64_t{fromMonday} * 86400 +
                                 hour * 3600 + minute * 60 + second);
        clock.time.weekday = day;
    }
    void start() {
        for (int n = 1; n <= kAutomationEventCount; ++n) {
            if (table.event(n).eventTime.empty()) {
                set(n, defaultEvent());
            }
        }
        runner.start();
    }
    // "mode 1", "method 2": the commands sent since the last call.
    std::vector<std::string> sent() {
        std::vector<std::string> out;
        for (const std::string& frame : driver.written) {
            const int code = std::stoi(frame.substr(3, 2), nullptr, 16);
            const int data = std::stoi(frame.substr(5, 2), nullptr, 16);
            out.push_back((code == 0   ? "mode "
                           : code == 9 ? "method "
                                       : "code ") +
                          std::to_string(data));
        }
        driver.written.clear();
        return out;
    }
    // Ticks ten times a second through the rest of the current second.
    void secondOfTicks() {
        for (int i = 0; i < 10; ++i) {
            runner.tick();
        }
    }
};

using Sent = std::vector<std::string>;

TEST(AutomationRunner, AnEventWhoseMinuteHadBegunWhenTheRunStartedWaitsAWeek) {
    RunnerWorld world;
    world.set(1, {"MON", "08:00", "RUN", "2"});
    world.set(2, {"MON", "09:00", "STANDBY", "3"});
    world.at(Mon, 8, 0, 30);
    world.start();
    world.secondOfTicks();
    world.at(Mon, 8, 1, 0);
    world.secondOfTicks();
    world.at(Tue, 8, 0, 0);
    world.secondOfTicks();
    world.at(Mon, 7, 59, 59, 1);
    world.secondOfTicks();
    EXPECT_TRUE(world.sent().empty());
    EXPECT_TRUE(world.hooks.empty());
    EXPECT_EQ(world.table.currentEventNumber, 1);
    EXPECT_EQ(world.table.event(0).eventMode, "RUN") << "event 1 is shown before it fires";

    world.at(Mon, 8, 0, 0, 1);
    world.secondOfTicks();
    EXPECT_EQ(world.sent(), (Sent{"mode 1", "method 2"}));
    EXPECT_EQ(world.hooks, std::vector<std::string>{"fresh log"});
    EXPECT_EQ(world.table.nextEventIndex, 2);
    EXPECT_TRUE(world.runner.running());
}

TEST(AutomationRunner, EventsOfTheSameMinuteFireOnConsecutiveTicksInOrder) {
    RunnerWorld world;
    world.set(1, {"TUE", "09:30", "RUN", "4"});
    world.set(2, {"TUE", "09:30", "GAS SAVE", "5"});
    world.start();
    world.at(Tue, 9, 30, 0);
    world.runner.tick();
    EXPECT_EQ(world.sent(), (Sent{"mode 1", "method 4"}));
    world.state.parameters[ParameterIndex::OperatingMode].measured = 1;
    world.runner.tick();
    EXPECT_EQ(world.sent(), (Sent{"mode 2", "method 5"}));
    EXPECT_EQ(world.table.currentEventNumber, 2);
    EXPECT_EQ(world.table.event(0).eventMode, "GAS SAVE");
}

TEST(AutomationRunner, AnEarlierTimeLaterInTheTableWaitsAWeek) {
    RunnerWorld world;
    world.set(1, {"WED", "10:00", "RUN", "1"});
    world.set(2, {"WED", "09:00", "STANDBY", "2"});
    world.set(3, {"WED", "10:00", "SLEEP", "3"});
    world.start();
    world.at(Wed, 10, 0, 0);
    world.secondOfTicks();
    EXPECT_EQ(world.sent(), (Sent{"mode 1", "method 1"}));
    EXPECT_EQ(world.table.nextEventIndex, 2) << "event 3 waits behind event 2";
    world.state.parameters[ParameterIndex::OperatingMode].measured = 1;
    for (const Weekday day : {Thu, Fri, Sat, Sun}) {
        world.at(day, 9, 0, 0);
        world.secondOfTicks();
    }
    for (const Weekday day : {Mon, Tue}) {
        world.at(day, 9, 0, 0, 1);
        world.secondOfTicks();
    }
    EXPECT_TRUE(world.sent().empty());
    world.at(Wed, 9, 0, 0, 1);
    world.secondOfTicks();
    EXPECT_EQ(world.sent(), (Sent{"mode 0", "method 2"}));
}

// The reported mode lags the command by up to a sweep: event 2 of the same minute decides by
// what event 1 commanded, and a status word asked for after the command ends that.
TEST(AutomationRunner, ASecondEventInTheMinuteComparesWithTheModeTheFirstCommanded) {
    RunnerWorld world;
    world.set(1, {"TUE", "09:30", "RUN", "4"});
    world.set(2, {"TUE", "09:30", "STANDBY", "5"});
    world.set(3, {"TUE", "10:00", "RUN", "6"});
    world.start();
    world.at(Tue, 9, 30, 0);
    world.runner.tick();
    world.runner.tick();
    EXPECT_EQ(world.sent(), (Sent{"mode 1", "method 4", "mode 0", "method 5"}));
    EXPECT_EQ(world.state.expectedMode(), 0);
    world.state.commandedMode.reset(); // a later status word answered: STANDBY still
    world.at(Tue, 10, 0, 0);
    world.runner.tick();
    EXPECT_EQ(world.sent(), (Sent{"mode 1", "method 6"}));
}

TEST(AutomationRunner, AnEventTheProgramStalledOverFiresOnceAtTheNextTick) {
    RunnerWorld world;
    world.set(1, {"WED", "02:30", "RUN", "1"});
    world.set(2, {"WED", "02:31", "GAS SAVE", "2"});
    world.set(3, {"WED", "05:00", "STANDBY", "3"});
    world.at(Wed, 1, 59, 59);
    world.start();
    world.runner.tick();
    world.at(Wed, 3, 0, 0); // summer time skipped the hour, or the computer slept
    world.secondOfTicks();
    EXPECT_EQ(world.sent(), (Sent{"mode 1", "method 1", "mode 2", "method 2"}));
    world.at(Wed, 2, 30, 0); // the clock set back: nothing fires twice
    world.secondOfTicks();
    EXPECT_TRUE(world.sent().empty());
    EXPECT_TRUE(world.runner.running());
}

TEST(AutomationRunner, ItStopsOnTheTickAfterItsLastEventAndOffersTheLog) {
    const struct {
        const char* name;
        int events;
    } cases[] = {{"next event not set", 1}, {"all ten used up", 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunnerWorld world;
        for (int n = 1; n <= c.events; ++n) {
            world.set(n, {"FRI", "12:00", "RUN", std::to_string(n)});
        }
        world.start();
        world.at(Fri, 12, 0, 0);
        for (int n = 1; n <= c.events; ++n) {
            world.runner.tick();
        }
        EXPECT_TRUE(world.runner.running());
        world.runner.tick();
        EXPECT_FALSE(world.runner.running());
        EXPECT_EQ(world.hooks, (std::vector<std::string>{"fresh log", "stopped", "save log"}));
        EXPECT_EQ(world.table.nextEventIndex, 1);
        world.runner.tick();
        EXPECT_EQ(world.hooks.size(), 3u) << "a stopped runner does nothing";
    }
}

TEST(AutomationRunner, TheModeIsSentOnlyWhenItChangesAndTheMethodAlways) {
    const struct {
        const char* mode;
        int reported;
        Sent sent;
    } cases[] = {{"RUN", 1, {"method 7"}},
                 {"SLEEP", 1, {"mode 3", "method 7"}},
                 {"Run", 0, {"method 7"}},
                 {"", 0, {"method 7"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        RunnerWorld world;
        world.state.parameters[ParameterIndex::OperatingMode].measured = c.reported;
        world.set(1, {"SAT", "06:15", c.mode, "7"});
        world.start();
        world.at(Sat, 6, 15, 0);
        world.runner.tick();
        EXPECT_EQ(world.sent(), c.sent);
    }
}

TEST(AutomationRunner, AFailingInstrumentStopsItEvenBeforeTheFirstEvent) {
    for (const bool commError : {false, true}) {
        RunnerWorld world;
        world.set(1, {"SUN", "23:00", "RUN", "1"});
        world.start();
        world.at(Sun, 20, 0, 0);
        world.runner.tick();
        EXPECT_TRUE(world.runner.running());
        if (commError) {
            world.state.commErrorActive = true;
        } else {
            world.state.parameters[ParameterIndex::OperatingMode].measured = 4;
        }
        world.runner.tick();
        EXPECT_FALSE(world.runner.running());
        EXPECT_EQ(world.hooks, (std::vector<std::string>{"stopped", "save log"}));
        EXPECT_TRUE(world.sent().empty());
    }
}

// The editor's Ok during a run starts the new timetable over.
TEST(AutomationRunner, StartingAgainBeginsAtEventOne) {
    RunnerWorld world;
    world.set(1, {"THU", "14:00", "RUN", "1"});
    world.set(2, {"THU", "15:00", "STANDBY", "2"});
    world.start();
    world.at(Thu, 14, 0, 0);
    world.runner.tick();
    EXPECT_EQ(world.table.nextEventIndex, 2);
    world.sent();

    world.set(1, {"THU", "14:30", "GAS SAVE", "6"});
    world.runner.start();
    world.at(Thu, 14, 30, 0);
    world.runner.tick();
    EXPECT_EQ(world.sent(), (Sent{"mode 2", "method 6"}));
    EXPECT_EQ(world.hooks, (std::vector<std::string>{"fresh log", "fresh log"}));
}

} // namespace
} // namespace kqvdr
