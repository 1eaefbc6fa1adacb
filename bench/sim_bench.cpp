// The simulator answering the status poll's fourteen-request sweep. Target: the whole sweep
// answered within 5 ms without pacing (a real 9600-baud line needs about 200 ms for it).
#include "AwaitFrame.h"
#include "FrameReceiver.h"
#include "PosixSerialDriver.h"
#include "SendCommand.h"
#include "SimulatorProcess.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kqvdr;

void BM_SimulatorAnswersASweep(benchmark::State& state) {
    test::SimulatorProcess simulator;
    PosixSerialDriver driver{PortDevices(simulator.ptyPath())};
    if (openPortWithDefaults(driver, "COM 1") != 0) {
        state.SkipWithError("cannot open the simulator's pseudo-terminal");
        return;
    }
    FrameReceiver receiver(driver);
    const int sweep[] = {17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 33};
    for (auto _ : state) {
        for (const int code : sweep) {
            SendCommand(driver, 0, code);
        }
        int answered = 0;
        ReplyFrame reply;
        while (answered < 14) {
            if (awaitFrame(receiver, driver, reply, std::chrono::seconds(2)) != kReceivedData) {
                state.SkipWithError("bad reply");
                return;
            }
            ++answered;
        }
    }
    state.SetItemsProcessed(state.iterations() * 14);
}
BENCHMARK(BM_SimulatorAnswersASweep)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
