// One 100 ms tick that decodes the fourteen replies of a sweep into the state and the panel.
// Target: at most 100 µs median.
#include "CommandTable.h"
#include "FakeSerialDriver.h"
#include "FrameReceiver.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "ManualClock.h"
#include "PortWaiter.h"
#include "RecordingFrontPanel.h"
#include "ScriptedOperator.h"
#include "StatusPoll.h"
#include "SweepReplies.h"
#include "TickHandoffs.h"

#include <array>
#include <benchmark/benchmark.h>

namespace {

using namespace kqvdr;

using bench::NoWait;

void BM_TickDecodingASweep(benchmark::State& benchState) {
    InstrumentState state;
    test::FakeSerialDriver driver;
    test::ManualClock clock;
    NoWait waiter;
    FrameReceiver receiver(driver, clock, waiter);
    test::RecordingFrontPanel panel;
    test::ScriptedOperator person;
    InactiveLog log;
    InactiveRunner automation;
    InactiveRunner systemTest;
    InstrumentLink link(state, driver, panel, person, ".");
    StatusPoll poll(state, {driver, receiver, panel, person, link, log, automation, systemTest});
    const std::string replies = bench::sweepReplies(0x0091);
    for (auto _ : benchState) {
        benchState.PauseTiming();
        driver.queueIncoming(replies);
        driver.written.clear();
        benchState.ResumeTiming();
        poll.tick();
    }
    benchState.SetItemsProcessed(benchState.iterations() * 14);
}
BENCHMARK(BM_TickDecodingASweep)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace
