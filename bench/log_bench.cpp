// The log line written inside a 100 ms tick: formatting alone, and the whole line formatted,
// written and synced to the disk. Targets: formatting at most 10 µs median; the synced line at
// most 20 ms median on a local disk, so a logging tick stays well inside its 100 ms.
#include "InstrumentState.h"
#include "LogFile.h"
#include "LogLine.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <random>

namespace {

using namespace kqvdr;

// Readings of four digits, as a running instrument reports them.
InstrumentState loggedState() {
    InstrumentState state;
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        Parameter& parameter = state.parameters[static_cast<ParameterIndex>(i)];
        parameter.measured = 1234;
        parameter.setpoint = 120;
    }
    state.parameters[ParameterIndex::OperatingMode].measured = 1;
    return state;
}

constexpr LocalTime kTime{2026, 12, 8, 10, 0, 15, 2};

void BM_FormatLogLine(benchmark::State& benchState) {
    const InstrumentState state = loggedState();
    LogLineFormatter formatter;
    for (auto _ : benchState) {
        benchmark::DoNotOptimize(formatter.format(state, kTime));
    }
}
BENCHMARK(BM_FormatLogLine);

void BM_WriteSyncedLogLine(benchmark::State& benchState) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("kqvdr-log-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directory(dir);
    const InstrumentState state = loggedState();
    LogLineFormatter formatter;
    {
        LogFile file;
        if (file.open(dir / "vdr_com1.log", LogFile::Mode::Fresh)) {
            benchState.SkipWithError("cannot create the log file");
        } else {
            for (auto _ : benchState) {
                if (file.append(formatter.format(state, kTime).fileLine)) {
                    benchState.SkipWithError("write failed");
                    break;
                }
            }
        }
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WriteSyncedLogLine)->Unit(benchmark::kMillisecond);

} // namespace
