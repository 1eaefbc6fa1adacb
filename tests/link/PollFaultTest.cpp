#include "PollWorld.h"

#include <gtest/gtest.h>
#include <random>

namespace kqvdr {
namespace {

using test::PollWorld;

TEST(PollFaults, ClearedFaultSendsClearAndRecordsTheCode) {
    PollWorld world;
    world.state.sweepCounter = 1;
    world.arrive(32, {1 << 9}); // over temperature
    world.ticks(1);
    ASSERT_EQ(world.person.faultDialogs.size(), 1u);
    EXPECT_EQ(world.person.faultDialogs[0].first, FaultDialogId::OverTemperature);
    EXPECT_EQ(world.state.lastErrorCode, "OT");
    EXPECT_EQ(world.state.currentErrorCode, " - ");
    EXPECT_TRUE(world.state.faultsSuppressed);
    EXPECT_EQ(world.sentCodes(), std::vector<int>{16});
}

TEST(PollFaults, TwoFaultsInOneWordOpenTheSecondOnlyAfterTheSuppression) {
    PollWorld world;
    world.state.sweepCounter = 1;
    world.arrive(32, {0x0003});
    world.ticks(1);
    ASSERT_EQ(world.person.faultDialogs.size(), 1u);
    EXPECT_EQ(world.person.faultDialogs[0].first, FaultDialogId::Gas);

    // Fault words during the next twenty ticks are ignored.
    for (int i = 0; i < 19; ++i) {
        world.arrive(32, {0x0002});
        world.ticks(1);
    }
    EXPECT_EQ(world.person.faultDialogs.size(), 1u);
    world.arrive(32, {0x0002});
    world.ticks(1);
    ASSERT_EQ(world.person.faultDialogs.size(), 2u);
    EXPECT_EQ(world.person.faultDialogs[1].first, FaultDialogId::Nebuliser);
}

TEST(PollFaults, DismissedDialogIsNotOpenedAgain) {
    PollWorld world;
    world.person.clearFaults = false;
    world.arrive(32, {1 << 5});
    world.ticks(1);
    world.arrive(32, {1 << 5});
    world.ticks(1);
    EXPECT_EQ(world.person.faultDialogs.size(), 1u);
    EXPECT_EQ(world.state.lastErrorCode, " - ");
    EXPECT_TRUE(world.state.faultDialogs[static_cast<int>(FaultDialogId::Lamp)].showing);
}

TEST(PollFaults, DeviceFaultWhileTheVapourDialogShowsOpensNothing) {
    PollWorld world;
    world.person.whileFaultDialog = [&world] {
        if (world.person.faultDialogs.size() == 1) {
            world.arrive(32, {1 << 12});
            world.ticks(3); // ticks run inside the open dialog
        }
    };
    world.arrive(32, {1 << 4});
    world.ticks(1);
    ASSERT_EQ(world.person.faultDialogs.size(), 1u);
    EXPECT_FALSE(world.person.faultDialogs[0].second) << "leak variant";
}

TEST(PollFaults, DeviceFaultOpensTheVapourDialogInItsDeviceVariant) {
    PollWorld world;
    world.arrive(32, {1 << 12});
    world.ticks(1);
    ASSERT_EQ(world.person.faultDialogs.size(), 1u);
    EXPECT_EQ(world.person.faultDialogs[0].first, FaultDialogId::Vapour);
    EXPECT_TRUE(world.person.faultDialogs[0].second);
    EXPECT_EQ(world.state.lastErrorCode, "VDEV");
    EXPECT_FALSE(world.state.faultDialogs[static_cast<int>(FaultDialogId::Vapour)].deviceError);
}

TEST(PollFaults, WhileLoggingAFaultWritesALineWithItsOpeningCode) {
    PollWorld world;
    world.log.active = true;
    world.arrive(32, {1 << 11});
    world.ticks(1);
    EXPECT_EQ(world.log.linesNow, std::vector<std::string>{"TC "});
    EXPECT_EQ(world.state.lastErrorCode, "TC");
    EXPECT_TRUE(world.log.active) << "cleared, so logging goes on";
}

// Ticks nested inside the open dialog read the same fault word again; what the operator then
// does decides whether the log ends.
TEST(PollFaults, OnlyAFaultLeftUnclearedEndsTheLogAndSaysSoOnce) {
    for (const bool cleared : {true, false}) {
        SCOPED_TRACE(cleared ? "cleared" : "dismissed");
        PollWorld world;
        world.log.active = true;
        world.person.clearFaults = cleared;
        world.person.whileFaultDialog = [&world] {
            for (int i = 0; i < 3; ++i) {
                world.arrive(32, {1});
                world.ticks(1);
            }
        };
        world.arrive(32, {1});
        world.ticks(1);
        world.arrive(32, {1});
        world.ticks(2);
        EXPECT_EQ(world.person.faultDialogs.size(), 1u);
        EXPECT_EQ(world.log.active, cleared);
        EXPECT_EQ(world.log.stops, cleared ? 0 : 1);
        if (!cleared) {
            EXPECT_EQ(world.log.stopReasons, std::vector<std::string>{"fault not cleared"});
            ASSERT_EQ(world.person.messages.size(), 1u);
            EXPECT_EQ(world.person.messages[0].text, StatusPoll::kLogStoppedForFaultText);
        }
    }
}

TEST(PollWatchdog, TwentySilentTicksRaiseTheCommunicationErrorOnceEvenWithNestedTicks) {
    PollWorld world;
    world.person.portChoices.push_back({true, "COM 2"});
    int nested = 0;
    world.person.whileMessage = [&] {
        EXPECT_TRUE(world.state.commErrorActive);
        for (; nested < 30; ++nested) {
            world.poll.tick();
        }
    };
    world.ticks(19);
    EXPECT_TRUE(world.person.messages.empty());
    world.ticks(1);
    ASSERT_EQ(world.person.messages.size(), 1u);
    EXPECT_EQ(world.person.messages[0].text, StatusPoll::kCommunicationErrorText);
    EXPECT_EQ(world.person.messages[0].icon, MessageIcon::Stop);
    EXPECT_FALSE(world.state.commErrorActive);
    EXPECT_EQ(world.state.watchdogCount, 0);
    // After the message the port dialog was offered, the port reopened and code 35 sent.
    EXPECT_EQ(world.person.portDialogs.size(), 1u);
    EXPECT_EQ(world.state.activePort, "COM 2");
    EXPECT_EQ(world.sentCodes().back(), 35);
    world.ticks(19);
    EXPECT_EQ(world.person.messages.size(), 1u);
}

// The line comes back (status words) and drops out again while the operator has not yet
// answered: nested ticks must not stack a second message, wherever the operator is.
TEST(PollWatchdog, ALineThatDropsOutAgainWhileTheErrorIsOpenRaisesNoSecondMessage) {
    for (const bool inPortDialog : {false, true}) {
        PollWorld world;
        world.person.portChoices.push_back({true, "COM 1"});
        bool nestedOnce = false;
        const auto dropOuts = [&] {
            if (nestedOnce) {
                return;
            }
            nestedOnce = true;
            for (int cycle = 0; cycle < 6; ++cycle) {
                for (int i = 0; i < 30; ++i) { // 3 s answering, then 2.5 s silent, nested
                    if (i % 11 == 0) {
                        world.arrive(17, {0});
                    }
                    world.poll.tick();
                }
                world.ticks(25);
            }
        };
        (inPortDialog ? world.person.whilePortDialog : world.person.whileMessage) = dropOuts;
        world.ticks(20);
        EXPECT_EQ(world.person.messages.size(), 1u) << (inPortDialog ? "port dialog" : "message");
        EXPECT_EQ(world.person.portDialogs.size(), 1u);
        EXPECT_FALSE(world.state.commErrorActive);
    }
}

// A line that streams bytes without frames has no status words either: noise resets nothing,
// and the error comes once, as for a silent line, with ticks nested inside its message.
TEST(PollWatchdog, NoiseWithoutFramesRaisesTheCommunicationErrorOnceAfterTwentyTicks) {
    PollWorld world;
    world.person.portChoices.push_back({true, "COM 1"});
    std::mt19937 random(7);
    const auto noisyTick = [&] {
        std::string bytes;
        for (int i = 0; i < 100; ++i) { // a tick's worth of a 9600-baud line
            bytes += static_cast<char>(random() & 0xFF);
        }
        world.driver.queueIncoming(bytes);
        world.poll.tick();
    };
    world.person.whileMessage = [&] {
        for (int i = 0; i < 40; ++i) {
            noisyTick();
        }
    };
    for (int tick = 0; tick < 19; ++tick) {
        noisyTick();
    }
    EXPECT_TRUE(world.person.messages.empty());
    EXPECT_EQ(world.state.watchdogCount, 19);
    noisyTick();
    ASSERT_EQ(world.person.messages.size(), 1u);
    EXPECT_EQ(world.person.messages[0].text, StatusPoll::kCommunicationErrorText);
}

TEST(PollWatchdog, StatusWordKeepsTheWatchdogQuiet) {
    PollWorld world;
    for (int i = 0; i < 50; ++i) {
        if (i % 11 == 0) {
            world.arrive(17, {0});
        }
        world.ticks(1);
    }
    EXPECT_TRUE(world.person.messages.empty());
}

TEST(PollWatchdog, CommunicationErrorStopsLoggingAndReturnsToTheStandardGasRange) {
    PollWorld world;
    world.log.active = true;
    world.state.fineGasResolution = true;
    world.ticks(20);
    EXPECT_EQ(world.log.stops, 1);
    EXPECT_FALSE(world.state.fineGasResolution);
    EXPECT_EQ(world.panel.gasRanges.back(), false);
}

} // namespace
} // namespace kqvdr
