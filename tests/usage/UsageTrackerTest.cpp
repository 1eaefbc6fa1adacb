#include "UsageTracker.h"

#include "FileReplace.h"
#include "InstrumentState.h"
#include "ManualClock.h"
#include "SmallFilesystem.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace kqvdr {
namespace {

struct UsageWorld {
    UsageWorld() {
        clock.time = {2026, 12, 8, 9, 0, 0, 2, 60};
        setMode(0);
        state.parameters[ParameterIndex::DeviceId].measured = 5;
    }
    void setMode(int mode) { state.parameters[ParameterIndex::OperatingMode].measured = mode; }
    // `seconds` of the heartbeat, ten ticks a second.
    void run(UsageTracker& tracker, int seconds) {
        for (int s = 0; s < seconds; ++s) {
            for (int i = 0; i < 10; ++i) {
                tracker.tickEnded(clock.now());
            }
            clock.advanceSeconds(1);
        }
    }
    const InstrumentUsage& only(const UsageTracker& tracker) const {
        EXPECT_EQ(tracker.instruments().size(), 1u);
        return tracker.instruments().front();
    }
    std::filesystem::path file() const { return dir.file(kUsageFile); }

    InstrumentState state;
    test::ManualClock clock;
    test::TemporaryDirectory dir;
};

TEST(UsageTracker, CountsTimeInRunAndGasSaveAndWithTheHeaterOnByTheClock) {
    UsageWorld world;
    UsageTracker tracker(world.state, world.clock, world.file());
    world.run(tracker, UsageTracker::kSettleSeconds + 1);
    world.setMode(1);
    world.state.heaterOnFlag = true;
    world.run(tracker, 100);
    world.setMode(2);
    world.run(tracker, 30);
    world.state.heaterOnFlag = false;
    world.setMode(0);
    world.run(tracker, 20);
    const InstrumentUsage& usage = world.only(tracker);
    EXPECT_EQ(usage.runSeconds, 100);
    EXPECT_EQ(usage.gasSaveSeconds, 30);
    EXPECT_EQ(usage.heaterSeconds, 130);
    EXPECT_EQ(usage.firstUse, "2026-12-08");
}

TEST(UsageTracker, CountsNothingWhileTheInstrumentIsSilentOrTheClockJumps) {
    UsageWorld world;
    UsageTracker tracker(world.state, world.clock, world.file());
    world.setMode(1);
    world.run(tracker, UsageTracker::kSettleSeconds + 1);
    const std::int64_t settled = world.only(tracker).runSeconds;
    world.state.watchdogCount = world.state.watchdogLimit; // no status word for two seconds
    world.run(tracker, 50);
    world.state.watchdogCount = 0;
    world.run(tracker, UsageTracker::kSettleSeconds);
    world.clock.advanceSeconds(3600); // the computer slept
    world.run(tracker, 1);
    EXPECT_EQ(world.only(tracker).runSeconds, settled);
}

TEST(UsageTracker, CountsEachAutozeroOnceAndFaultsByKindPerInstrument) {
    UsageWorld world;
    UsageTracker tracker(world.state, world.clock, world.file());
    world.run(tracker, UsageTracker::kSettleSeconds + 1);
    for (int i = 0; i < 2; ++i) {
        world.state.busyFlag = true;
        world.run(tracker, 3);
        world.state.busyFlag = false;
        world.run(tracker, 1);
    }
    tracker.record({AuditEventKind::FaultReported, "GAS", "", ""});
    tracker.record({AuditEventKind::FaultReported, "GAS", "", ""});
    tracker.record({AuditEventKind::FaultCleared, "GAS", "", ""});
    world.state.parameters[ParameterIndex::DeviceId].measured = 9; // another instrument
    tracker.record({AuditEventKind::FaultReported, "OT", "", ""});

    ASSERT_EQ(tracker.instruments().size(), 2u);
    const InstrumentUsage& five = tracker.instruments()[0];
    EXPECT_EQ(five.deviceId, 5);
    EXPECT_EQ(five.autozeroCount, 2);
    EXPECT_EQ(five.faults, (std::map<std::string, std::int64_t>{{"GAS", 2}}));
    EXPECT_EQ(tracker.instruments()[1].faults, (std::map<std::string, std::int64_t>{{"OT", 1}}));
}

TEST(UsageTracker, KeepsCountingAcrossARestart) {
    UsageWorld world;
    {
        UsageTracker first(world.state, world.clock, world.file());
        ASSERT_TRUE(first.load());
        world.setMode(1);
        world.run(first, UsageTracker::kSettleSeconds + 40);
        ASSERT_FALSE(first.save());
    }
    UsageTracker second(world.state, world.clock, world.file());
    ASSERT_TRUE(second.load());
    const std::int64_t before = world.only(second).runSeconds;
    EXPECT_EQ(before, 40);
    world.run(second, UsageTracker::kSettleSeconds + 10);
    EXPECT_EQ(world.only(second).runSeconds, before + 10);
    EXPECT_EQ(world.only(second).firstUse, "2026-12-08");
}

// Killed without save(): the file holds the last minute's counters, whole, and a temporary file
// the crash left beside it changes nothing.
TEST(UsageTracker, ACrashLosesAtMostAMinuteAndNeverLeavesHalfAFile) {
    UsageWorld world;
    world.setMode(1);
    std::vector<InstrumentUsage> onDisk;
    {
        UsageTracker tracker(world.state, world.clock, world.file());
        world.run(tracker, 150);
        test::writeBytes(world.dir.file("usage.txt.tmp"), "instrument 5\nrun-sec");
        const std::string text = test::readBytes(world.file());
        onDisk = parseUsageFile(text);
        ASSERT_EQ(text, usageFileText(onDisk)) << "the file is one whole save";
        ASSERT_EQ(onDisk.size(), 1u);
        EXPECT_GE(onDisk[0].runSeconds, world.only(tracker).runSeconds - 60);
    }
    UsageTracker restarted(world.state, world.clock, world.file());
    ASSERT_TRUE(restarted.load());
    EXPECT_EQ(restarted.instruments(), onDisk);
}

TEST(UsageTracker, AnIdleInstrumentCausesNoWrites) {
    UsageWorld world;
    UsageTracker tracker(world.state, world.clock, world.file());
    world.run(tracker, UsageTracker::kSettleSeconds + 1);
    ASSERT_FALSE(tracker.save()); // the new instrument's first use
    std::filesystem::remove(world.file());
    world.run(tracker, 3 * 60); // Standby, heater off
    EXPECT_FALSE(std::filesystem::exists(world.file()));
}

// Thousands of run hours are in that file: one that cannot be read is never saved over.
TEST(UsageTracker, AFileThatCannotBeReadIsLeftAsItWasAndUseIsCountedInMemory) {
    struct Case {
        const char* what;
        void (*make)(const std::filesystem::path& file);
    };
    std::vector<Case> cases = {
        {"a damaged count",
         [](const std::filesystem::path& file) {
             test::writeBytes(file, "instrument 5\nrun-seconds 72x00\n");
         }},
        {"a block of NULs",
         [](const std::filesystem::path& file) {
             test::writeBytes(file, "instrument 5\n" + std::string(64, '\0'));
         }},
        {"too large",
         [](const std::filesystem::path& file) {
             test::writeBytes(file, "instrument 5\n" + std::string(2 << 20, ' '));
         }},
        {"a folder",
         [](const std::filesystem::path& file) { std::filesystem::create_directory(file); }},
    };
#ifndef _WIN32
    cases.push_back({"a named pipe", [](const std::filesystem::path& file) {
                         ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
                     }});
#endif
    for (const Case& c : cases) {
        UsageWorld world;
        c.make(world.file());
        const bool folder = std::filesystem::is_directory(world.file());
        const bool plain = std::filesystem::is_regular_file(world.file());
        const std::string before = plain ? test::readBytes(world.file()) : std::string();
        std::vector<std::string> reports;
        {
            UsageTracker tracker(world.state, world.clock, world.file());
            tracker.onProblem([&reports](const std::string& text) { reports.push_back(text); });
            EXPECT_FALSE(tracker.load()) << c.what;
            world.setMode(1);
            world.run(tracker, UsageTracker::kSettleSeconds + 150);
            EXPECT_EQ(tracker.instruments().back().runSeconds, 150) << c.what;
            EXPECT_TRUE(tracker.save()) << c.what;
        }
        ASSERT_EQ(reports.size(), 1u) << c.what;
        EXPECT_NE(reports[0].find("cannot be read"), std::string::npos) << reports[0];
        EXPECT_EQ(std::filesystem::is_directory(world.file()), folder) << c.what;
        EXPECT_EQ(std::filesystem::is_regular_file(world.file()), plain) << c.what;
        if (plain) {
            EXPECT_EQ(test::readBytes(world.file()), before) << c.what;
        }
    }
}

TEST(UsageTracker, AFailedSaveIsReportedOnceAndAgainOnlyAfterOneSucceeded) {
    test::SmallFilesystem disk(64 * 1024);
    KQVDR_NEED_SMALL_FILESYSTEM(disk);
    UsageWorld world;
    std::vector<std::string> reports;
    UsageTracker tracker(world.state, world.clock, disk.file(kUsageFile));
    tracker.onProblem([&reports](const std::string& text) { reports.push_back(text); });
    ASSERT_TRUE(tracker.load());
    disk.fillLeaving(0);
    world.setMode(1);
    world.run(tracker, 5 * 60);
    EXPECT_TRUE(tracker.save());
    ASSERT_EQ(reports.size(), 1u) << "not once a minute";
    EXPECT_NE(reports[0].find("No space left on device"), std::string::npos) << reports[0];

    std::filesystem::remove(disk.file("filler"));
    world.run(tracker, 61);
    ASSERT_FALSE(tracker.save());
    EXPECT_EQ(parseUsageFile(test::readBytes(disk.file(kUsageFile))), tracker.instruments());
    disk.fillLeaving(0);
    world.run(tracker, 61);
    EXPECT_EQ(reports.size(), 2u) << "a new failure after a good save is news";
}

TEST(UsageFile, UnknownAndDamagedLinesAreSkipped) {
    const auto instruments = parseUsageFile("instrument 3\r\n"
                                            "first-use 2026-01-02\n"
                                            "run-seconds 7200\n"
                                            "colour blue\n"
                                            "heater-seconds -5\n"
                                            "fault LMP 4\n"
                                            "fault broken\n"
                                            "instrument 999\n"
                                            "run-seconds 1\n");
    ASSERT_EQ(instruments.size(), 1u);
    EXPECT_EQ(instruments[0].deviceId, 3);
    EXPECT_EQ(instruments[0].runSeconds, 7200) << "a damaged block must not change another";
    EXPECT_EQ(instruments[0].heaterSeconds, 0);
    EXPECT_EQ(instruments[0].faults.at("LMP"), 4);
    EXPECT_EQ(hoursText(7200 + 900), "2.25");
}

} // namespace
} // namespace kqvdr
