// The polling program's CPU with the audit trail, usage counters and trends on and off, side by
// side. Target: the records add at most 5 %. Also one audit line written and synced, for scale.
#include "AuditTrail.h"
#include "FakeSerialDriver.h"
#include "FrameReceiver.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "ManualClock.h"
#include "PosixSerialDriver.h"
#include "RecordingFrontPanel.h"
#include "ScriptedOperator.h"
#include "SendCommand.h"
#include "SessionRecords.h"
#include "SimulatorProcess.h"
#include "StatusPoll.h"
#include "SystemClock.h"
#include "TickHandoffs.h"

#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

using namespace kqvdr;

std::filesystem::path scratchDirectory() {
    const auto dir = std::filesystem::temp_directory_path() / "kqvdr-records-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// One sweep cycle of the poll (eleven ticks) against the simulator program on a pseudo-terminal,
// through the real serial driver and clock, as the running program polls; the replies are
// given a moment to arrive between ticks, outside the measurement. The widgets are left out,
// which makes the records' share look larger than in the program, not smaller.
void BM_PollingCycle(benchmark::State& benchState) {
    const bool records = benchState.range(0) != 0;
    const std::filesystem::path dir = scratchDirectory();
    test::SimulatorProcess simulator({"--device-id", "3"});
    PosixSerialDriver line{PortDevices(simulator.ptyPath())};
    InstrumentState state;
    SystemClock clock;
    SessionRecords sessionRecords(state, line, clock, dir, "bench", {});
    SerialDriver& driver = records ? sessionRecords.driver() : static_cast<SerialDriver&>(line);
    if (openPortWithDefaults(driver, "COM 1") != 0) {
        benchState.SkipWithError("cannot open the simulator's pseudo-terminal");
        return;
    }
    FrameReceiver receiver(line);
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
    for (auto _ : benchState) {
        for (int tick = 0; tick <= kSweepInterval; ++tick) {
            poll.tick();
            if (records) {
                sessionRecords.tickEnded();
            }
            benchState.PauseTiming();
            line.WaitForReceive(std::chrono::milliseconds(2));
            benchState.ResumeTiming();
        }
    }
    std::filesystem::remove_all(dir);
}
// A fixed count: each cycle also waits for the replies, outside the measurement, which would
// otherwise make Google Benchmark run it for minutes.
BENCHMARK(BM_PollingCycle)
    ->ArgName("records")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The records' own work in one sweep cycle, without the noise of the line: the fourteen
// requests through the auditing driver and the end of eleven ticks, against the same requests
// written straight to an in-memory line. Divided by the polling cycle above, this is the
// records' share of the polling program's CPU.
void BM_RecordsWorkPerCycle(benchmark::State& benchState) {
    const bool records = benchState.range(0) != 0;
    const std::filesystem::path dir = scratchDirectory();
    InstrumentState state;
    state.parameters[ParameterIndex::OperatingMode].measured = 1;
    state.heaterOnFlag = true;
    test::FakeSerialDriver line;
    SystemClock clock;
    SessionRecords sessionRecords(state, line, clock, dir, "bench", {});
    SerialDriver& driver = records ? sessionRecords.driver() : static_cast<SerialDriver&>(line);
    const int sweep[] = {17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 33};
    for (auto _ : benchState) {
        for (const int code : sweep) {
            SendCommand(driver, 3, code);
        }
        if (records) {
            for (int tick = 0; tick <= kSweepInterval; ++tick) {
                sessionRecords.tickEnded();
            }
        }
        benchState.PauseTiming();
        line.written.clear();
        benchState.ResumeTiming();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RecordsWorkPerCycle)
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
