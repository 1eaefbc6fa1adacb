// One 100 ms tick that decodes the fourteen replies of a sweep into the state and the panel.
// Target: at most 100 µs median. And a tick on a line that streams noise instead of frames,
// which must cost no more than reading what has arrived.
#include "CommandTable.h"
#include "FakeSerialDriver.h"
#include "FrameReceiver.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "RecordingFrontPanel.h"
#include "ScriptedOperator.h"
#include "StatusPoll.h"
#include "SweepReplies.h"
#include "TickHandoffs.h"

#include <array>
#include <benchmark/benchmark.h>
#include <random>

namespace {

using namespace kqvdr;

// The poll on an in-memory line, with nothing to hand the tick on to.
struct PollOnAFakeLine {
    InstrumentState state;
    test::FakeSerialDriver driver;
    FrameReceiver receiver{driver};
    test::RecordingFrontPanel panel;
    test::ScriptedOperator person;
    InactiveLog log;
    InactiveRunner automation;
    InactiveRunner systemTest;
    InstrumentLink link{state, driver, panel, person, "."};
    StatusPoll poll{state, {driver, receiver, panel, person, link, log, automation, systemTest}};
};

std::string noise(std::size_t bytes) {
    std::mt19937 random(1);
    std::string out;
    while (out.size() < bytes) {
        const auto byte = static_cast<char>(random() & 0xFF);
        if (byte != kStx) {
            out += byte;
        }
    }
    return out;
}

void BM_TickDecodingASweep(benchmark::State& benchState) {
    PollOnAFakeLine world;
    const std::string replies = bench::sweepReplies(0x0091);
    for (auto _ : benchState) {
        benchState.PauseTiming();
        world.driver.queueIncoming(replies);
        world.driver.written.clear();
        benchState.ResumeTiming();
        world.poll.tick();
    }
    benchState.SetItemsProcessed(benchState.iterations() * 14);
}
BENCHMARK(BM_TickDecodingASweep)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// Noise waiting at the tick: a tick's worth of a 9600-baud line (100 bytes), and the 4 kB a
// stalled program finds after four seconds of it, which the tick drops rather than reads.
void BM_TickOnANoisyLine(benchmark::State& benchState) {
    PollOnAFakeLine world;
    const std::string bytes = noise(static_cast<std::size_t>(benchState.range(0)));
    for (auto _ : benchState) {
        benchState.PauseTiming();
        world.driver.incoming.clear();
        world.driver.queueIncoming(bytes);
        world.driver.written.clear();
        world.driver.calls.clear();
        benchState.ResumeTiming();
        world.poll.tick();
    }
}
BENCHMARK(BM_TickOnANoisyLine)->Arg(100)->Arg(4000)->Unit(benchmark::kMicrosecond);

} // namespace
