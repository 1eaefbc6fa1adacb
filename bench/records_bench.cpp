// The polling program's CPU with the audit trail, usage counters and trends on and off, side by
// side: one second of polling (ten ticks, one of them decoding a sweep's replies). Target: the
// records add at most 5 %. Also one audit line written and synced, for scale.
#include "AuditTrail.h"
#include "CommandTable.h"
#include "FakeSerialDriver.h"
#include "FrameReceiver.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "ManualClock.h"
#include "PortWaiter.h"
#include "RecordingFrontPanel.h"
#include "ScriptedOperator.h"
#include "SessionRecords.h"
#include "StatusPoll.h"
#include "SweepReplies.h"
#include "TickHandoffs.h"

#include <array>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>

namespace {

using namespace kqvdr;

using bench::NoWait;

std::filesystem::path scratchDirectory() {
    const auto dir = std::filesystem::temp_directory_path() / "kqvdr-records-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

void BM_SecondOfPolling(benchmark::State& benchState) {
    const bool records = benchState.range(0) != 0;
    const std::filesystem::path dir = scratchDirectory();
    InstrumentState state;
    test::FakeSerialDriver line;
    test::ManualClock clock;
    clock.time = {2026, 12, 8, 9, 0, 0, 2, 60};
    NoWait waiter;
    SessionRecords sessionRecords(state, line, clock, dir, "bench", {});
    SerialDriver& driver = records ? sessionRecords.driver() : static_cast<SerialDriver&>(line);
    FrameReceiver receiver(line, clock, waiter);
    test::RecordingFrontPanel panel;
    test::ScriptedOperator person;
    InactiveLog log;
    InactiveRunner automation;
    InactiveRunner systemTest;
    InstrumentLink link(state, driver, panel, person, dir);
    StatusPoll poll(state, {driver, receiver, panel, person, link, log, automation, systemTest});
    if (records) {
        poll.setAuditSink(&sessionRecords);
    }
    const std::string replies = bench::sweepReplies(0x0099);
    for (auto _ : benchState) {
        benchState.PauseTiming();
        line.queueIncoming(replies);
        line.written.clear();
        benchState.ResumeTiming();
        for (int tick = 0; tick < 10; ++tick) {
            poll.tick();
            if (records) {
                sessionRecords.tickEnded();
            }
        }
        benchState.PauseTiming();
        clock.advanceSeconds(1);
        benchState.ResumeTiming();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SecondOfPolling)
    ->ArgName("records")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_AuditLineWrittenAndSynced(benchmark::State& benchState) {
    const std::filesystem::path dir = scratchDirectory();
    test::ManualClock clock;
    AuditTrail trail(dir / kAuditFile, clock, "bench", {});
    for (auto _ : benchState) {
        trail.record({AuditEventKind::ModeCommand, "", "Standby", "Run"});
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_AuditLineWrittenAndSynced)->Unit(benchmark::kMicrosecond);

} // namespace
