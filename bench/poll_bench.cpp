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
#include "TickHandoffs.h"

#include <array>
#include <benchmark/benchmark.h>

namespace {

using namespace kqvdr;

class NoWait : public PortWaiter {
public:
    void WaitForReceive(std::chrono::milliseconds) override {}
};

std::string sweepReplies() {
    const std::pair<int, std::int16_t> replies[] = {
        {17, 0x0091}, {18, 150},  {19, 100}, {20, 1123}, {21, 140}, {22, 15}, {23, 4},
        {24, 0},      {25, 1502}, {26, 999}, {27, 15},   {28, 23},  {29, 0},  {33, 2}};
    std::string bytes;
    for (const auto& [code, word] : replies) {
        std::array<char, 64> out{};
        const std::int16_t data[] = {word};
        const std::size_t length = BuildFrame(0, code, data, commandEntry(code)->replyDigits, out);
        bytes.append(out.data(), length);
    }
    return bytes;
}

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
    const std::string replies = sweepReplies();
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
