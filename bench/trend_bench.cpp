// Redrawing the trends window's chart over the full 8-hour ring. Target: at most 5 ms.
#include "CTrendChart.h"
#include "TrendRing.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

using namespace kqvdr;

void BM_TrendRedraw(benchmark::State& benchState) {
    TrendRing ring(8 * 3600);
    for (int t = 0; t < 8 * 3600; ++t) {
        TrendSample sample;
        sample.time = 1'800'000'000 + t;
        sample.values = {100.0f + static_cast<float>(t % 97),
                         120.0f,
                         60.0f + static_cast<float>(t % 13),
                         60.0f,
                         40.0f + static_cast<float>(t % 31) * 0.1f,
                         1.5f,
                         1.5f,
                         5.0f + static_cast<float>(t % 7)};
        ring.push(sample);
    }
    CTrendChart chart(ring);
    chart.resize(760, 520);
    chart.setSpanSeconds(static_cast<int>(benchState.range(0)));
    for (auto _ : benchState) {
        chart.redraw();
    }
}
BENCHMARK(BM_TrendRedraw)
    ->ArgName("span")
    ->Arg(600)
    ->Arg(8 * 3600)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
