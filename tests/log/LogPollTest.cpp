// The log channel under the real status poll: fault lines and the closes the poll asks for.
#include "../link/PollWorld.h"
#include "LogWorld.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

struct PolledLog : test::LogWorld {
    PolledLog() {
        state.parameters[ParameterIndex::MethodNumber].measured = 1;
        log.startLoggingData();
    }
    // Heartbeat ticks with a status word each: Run, ready, transfer-line heater on.
    void runUntilSecond(int second) {
        while (clock.time.second != second) {
            runWith(1, [this] {
                driver.queueIncoming(test::PollWorld::reply(17, {0x0098}));
                poll.tick();
            });
        }
    }
    // Time and error column (what follows the flags and method 1) of every line.
    std::vector<std::string> timesAndErrors() const {
        std::vector<std::string> result;
        for (const std::string& line : fileLines()) {
            result.push_back(line.substr(0, 8) + "|" + line.substr(line.find(" T F T 1 ") + 9));
        }
        return result;
    }

    test::FakeSerialDriver driver;
    test::ManualSteadyClock steadyClock;
    FrameReceiver receiver{driver, steadyClock};
    test::RecordingFrontPanel panel;
    InstrumentLink link{state, driver, panel, person, dir.path()};
    InactiveRunner automation;
    InactiveRunner systemTest;
    StatusPoll poll{state, {driver, receiver, panel, person, link, log, automation, systemTest}};
};

TEST(LogUnderPoll, FaultLinesCarryTheOpeningCodeAndAnUnclearedFaultClosesTheLog) {
    struct Case {
        int faultBit;
        bool cleared;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {9, true, {"10:00:15| -  ", "10:00:20|OT  ", "10:00:45|OT  ", "10:01:15|OT "}},
        {0, false, {"10:00:15| -  ", "10:00:20|GAS ", "10:00:45|GAS "}},
    };
    for (const Case& c : cases) {
        PolledLog world;
        world.person.clearFaults = c.cleared;
        world.runUntilSecond(20);
        // Ticks run on inside the fault dialog.
        world.person.whileFaultDialog = [&world] { world.runUntilSecond(47); };
        world.driver.queueIncoming(test::PollWorld::reply(32, {std::int16_t(1 << c.faultBit)}));
        world.runUntilSecond(16); // of the next minute
        EXPECT_EQ(world.log.loggingActive(), c.cleared);
        EXPECT_EQ(world.timesAndErrors(), c.lines) << c.faultBit;
        // The start's message, and for the uncleared fault the one that says the log stopped.
        EXPECT_EQ(world.person.messages.size(), c.cleared ? 1u : 2u);
    }
}

TEST(LogUnderPoll, CommunicationErrorClosesTheLogBeforeItsMessage) {
    PolledLog world;
    bool loggingDuringMessage = true;
    world.person.whileMessage = [&] { loggingDuringMessage = world.log.loggingActive(); };
    world.runWith(3, [&world] { world.poll.tick(); }); // silence
    ASSERT_EQ(world.person.messages.size(), 2u);
    EXPECT_EQ(world.person.messages[1].text, StatusPoll::kCommunicationErrorText);
    EXPECT_FALSE(loggingDuringMessage);
    EXPECT_FALSE(world.log.loggingActive());
}

} // namespace
} // namespace kqvdr
