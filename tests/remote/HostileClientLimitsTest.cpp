#include "ClientShares.h"
#include "ConnectionCensus.h"
#include "FloodCounter.h"
#include "TestLogName.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

using Take = ClientShares::Take;

TEST(ClientShares, OneClientFillsOnlyItsShareAndOthersStillGetTheirs) {
    ClientShares shares(5, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(shares.take("greedy"), Take::Taken);
    }
    EXPECT_EQ(shares.take("greedy"), Take::ShareFull);
    EXPECT_EQ(shares.take("other"), Take::Taken);
    EXPECT_EQ(shares.take("third"), Take::Taken);
    EXPECT_EQ(shares.take("fourth"), Take::PoolFull);
    EXPECT_EQ(shares.held(), 5u);
}

TEST(ClientShares, WhatIsGivenBackCanBeTakenAgainAndForeignReturnsChangeNothing) {
    ClientShares shares(2, 2);
    ASSERT_EQ(shares.take("a"), Take::Taken);
    ASSERT_EQ(shares.take("a"), Take::Taken);
    shares.give("never took");
    EXPECT_EQ(shares.held(), 2u);
    shares.give("a");
    EXPECT_EQ(shares.heldBy("a"), 1u);
    EXPECT_EQ(shares.take("b"), Take::Taken);
    shares.give("a");
    shares.give("a"); // once more than taken
    EXPECT_EQ(shares.held(), 1u);
    EXPECT_EQ(shares.heldBy("a"), 0u);
}

TEST(TestLogName, OnlyTheProgramsOwnLogNamesPass) {
    const struct {
        const char* name;
        bool passes;
    } cases[] = {
        {"003_001.log", true},     {"M03_999.log", true},
        {"003_01.log", false},     {"003_0001.log", false},
        {"003-001.log", false},    {"003_00a.log", false},
        {"004_001.log", false},    {"003_001.LOG", false},
        {"003_001.log ", false},   {"/etc/shadow", false},
        {"../003_001.log", false}, {"x/003_001.log", false},
        {"003_001.log/..", false}, {"", false},
        {"audit.log", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isTestLogName(c.name), c.passes) << c.name;
    }
    EXPECT_FALSE(isTestLogName(std::string_view("003_001.log\0x", 13)));
}

TEST(FloodCounter, ReportsOnceAMinuteWithTheCountAndNothingWhenNothingCame) {
    using namespace std::chrono_literals;
    const FloodCounter::Clock::time_point start{};
    FloodCounter counter("bad requests", start);
    for (int i = 0; i < 7; ++i) {
        counter.count();
    }
    EXPECT_FALSE(counter.due(start + 59s));
    const auto report = counter.due(start + 60s);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, "7 bad requests in the last 60 s (each is not reported on its own)");
    EXPECT_FALSE(counter.due(start + 61s)) << "counted anew after a report";
    EXPECT_FALSE(counter.due(start + 130s)) << "a quiet minute says nothing";
    counter.count();
    EXPECT_FALSE(counter.due(start + 150s));
    EXPECT_TRUE(counter.due(start + 190s));
}

TEST(ConnectionCensus, AnAddressKeepsItsOldestConnectionsUpToTheCap) {
    const std::vector<Connection> connections = {
        {500, "10.0.0.2"}, {100, "10.0.0.2"}, {300, "10.0.0.2"},
        {200, "10.0.0.3"}, {400, "10.0.0.2"}, {600, "10.0.0.3"},
    };
    std::vector<std::uint64_t> cut;
    for (const Connection& c : connectionsOverCap(connections, 2)) {
        cut.push_back(c.id);
    }
    EXPECT_EQ(cut, (std::vector<std::uint64_t>{400, 500}));
    EXPECT_TRUE(connectionsOverCap(connections, 4).empty());
}

TEST(ListenerWatch, OnlyAQueueWaitingLookAfterLookAfterAFailedAcceptMeansStalled) {
    ListenerWatch watch(3);
    watch.acceptFailed();
    EXPECT_FALSE(watch.stalled(5));
    EXPECT_FALSE(watch.stalled(1));
    EXPECT_FALSE(watch.stalled(0)) << "accepted in between: well";
    EXPECT_FALSE(watch.stalled(2));
    EXPECT_FALSE(watch.stalled(2));
    EXPECT_TRUE(watch.stalled(2));
}

TEST(ListenerWatch, ABusyQueueWithoutAFailedAcceptIsNoStallAndARestartForgetsTheFailure) {
    ListenerWatch watch(2);
    for (int look = 0; look < 10; ++look) {
        EXPECT_FALSE(watch.stalled(7)) << "a busy server, not a stalled one: look " << look;
    }
    watch.acceptFailed();
    EXPECT_TRUE(watch.stalled(7)) << "the queue had been waiting all along";
    watch.reset();
    EXPECT_FALSE(watch.stalled(7));
    EXPECT_FALSE(watch.stalled(7)) << "the new listener failed nothing yet";
}

} // namespace
} // namespace kqvdr::remote
