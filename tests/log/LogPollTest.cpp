// The log channel under the real status poll: fault lines and the closes the poll asks for.
#include "../link/PollWorld.h"
#include "OperationalLog.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

struct PolledLog {
    PolledLog() {
        clock.time.hour = 10;
        clock.time.second = 10;
    }

    // One heartbeat tick with a status word in Run, ready, transfer-line heater on.
    void tick() {
        driver.queueIncoming(test::PollWorld::reply(17, {0x0098}));
        poll.tick();
        if (++ticks % 10 == 0) {
            clock.advanceSeconds(1);
        }
    }
    void runUntilSecond(int second) {
        while (clock.time.second != second) {
            tick();
        }
    }

    // Each line's time and error column (the last field, after the flags and method 1).
    std::vector<std::pair<std::string, std::string>> lines() const {
        const std::string marker = " T F T 1 ";
        std::vector<std::pair<std::string, std::string>> result;
        const std::string bytes = test::readBytes(dir.file("vdr_com1.log"));
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t end = bytes.find(" \r\n", at);
            const std::size_t error = bytes.find(marker, at) + marker.size();
            result.emplace_back(bytes.substr(at, 8), bytes.substr(error, end - error));
            at = end + 3;
        }
        return result;
    }

    InstrumentState state;
    test::FakeSerialDriver driver;
    test::ManualClock clock;
    test::ClockTickingWaiter waiter{clock};
    FrameReceiver receiver{driver, clock, waiter};
    test::RecordingFrontPanel panel;
    test::ScriptedOperator person;
    test::TemporaryDirectory dir;
    InstrumentLink link{state, driver, panel, person, dir.path()};
    OperationalLog log{state, clock, person, dir.path(), "/"};
    InactiveRunner automation;
    InactiveRunner systemTest;
    StatusPoll poll{state, {driver, receiver, panel, person, link, log, automation, systemTest}};
    int ticks = 0;
};

using Lines = std::vector<std::pair<std::string, std::string>>;

TEST(LogUnderPoll, FaultLineCarriesTheOpeningCodeAndLaterLinesTheClearedOne) {
    PolledLog world;
    world.state.parameters[ParameterIndex::MethodNumber].measured = 1;
    world.log.startLoggingData();
    world.runUntilSecond(20);
    world.person.whileFaultDialog = [&world] { world.runUntilSecond(47); };
    world.driver.queueIncoming(test::PollWorld::reply(32, {1 << 9}));
    world.tick();
    world.runUntilSecond(16);
    EXPECT_TRUE(world.log.loggingActive()) << "cleared: logging goes on";
    EXPECT_EQ(
        world.lines(),
        (Lines{{"10:00:15", " - "}, {"10:00:20", "OT "}, {"10:00:45", "OT "}, {"10:01:15", "OT"}}));
}

TEST(LogUnderPoll, FaultLeftUnclearedClosesTheLogWithoutAMessage) {
    PolledLog world;
    world.state.parameters[ParameterIndex::MethodNumber].measured = 1;
    world.person.clearFaults = false;
    world.log.startLoggingData();
    world.runUntilSecond(20);
    world.driver.queueIncoming(test::PollWorld::reply(32, {1}));
    world.tick();
    EXPECT_FALSE(world.log.loggingActive());
    world.runUntilSecond(50);
    EXPECT_EQ(world.lines(), (Lines{{"10:00:15", " - "}, {"10:00:20", "GAS"}}));
    EXPECT_EQ(world.person.messages.size(), 1u) << "only the start's confirmation";
}

TEST(LogUnderPoll, CommunicationErrorClosesTheLogBeforeItsMessage) {
    PolledLog world;
    world.log.startLoggingData();
    bool loggingDuringMessage = true;
    world.person.whileMessage = [&] { loggingDuringMessage = world.log.loggingActive(); };
    world.poll.tick();
    for (int i = 0; i < 20; ++i) {
        world.poll.tick(); // silence
    }
    ASSERT_EQ(world.person.messages.size(), 2u);
    EXPECT_EQ(world.person.messages[1].text, StatusPoll::kCommunicationErrorText);
    EXPECT_FALSE(loggingDuringMessage);
    EXPECT_FALSE(world.log.loggingActive());
}

} // namespace
} // namespace kqvdr
