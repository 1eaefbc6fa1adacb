// The system test analysis over a whole log held in memory. Target: a week of half-minute lines
// (about 20,000) in at most 20 ms, the time growing linearly with the log.

#include "SystemTestAnalysis.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

// `lines` log lines cycling through the eleven methods, each block heating for a while and
// then holding its setpoints.
std::string makeLog(int lines) {
    std::string text;
    text.reserve(static_cast<std::size_t>(lines) * 72);
    const int blockLength = lines / 11 + 1;
    for (int i = 0; i < lines; ++i) {
        const int method = i / blockLength;
        const int inBlock = i % blockLength;
        const bool ready = inBlock > 40;
        const int s = (18 * 3600 + 15 + i * 30) % 86400;
        const int neb = 60 + method * 10;
        const int evap = 80 + method * 15;
        const double approach = ready ? 0.0 : (40 - inBlock) * 0.5;
        char line[128];
        std::snprintf(line, sizeof line,
                      "%02d:%02d:%02d %d %d 50 1.2 %.1f %.1f 1.2 0.%02d 40.0 %s %s F T %d  -  \r\n",
                      s / 3600, s / 60 % 60, s % 60, neb, evap, neb - approach + (i % 3) * 0.1,
                      evap - approach, 4 + i % 5, i % 97 == 0 ? "GAS_SAVE" : "RUN",
                      ready ? "T" : "F", method);
        text += line;
    }
    return text;
}

void BM_AnalyseLog(benchmark::State& state) {
    const std::string log = makeLog(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto rows = kqvdr::analyseTestLog(log, false);
        benchmark::DoNotOptimize(rows);
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.size()));
}

} // namespace

BENCHMARK(BM_AnalyseLog)
    ->Arg(20160) // a week
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
