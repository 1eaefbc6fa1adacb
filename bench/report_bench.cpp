// The performance report for ten methods, five pages, written to a PDF file.
// Target: at most 300 ms a report.
#include "PerformanceReport.h"
#include "ReportRows.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

void BM_TenMethodReportToPdf(benchmark::State& state) {
    kqvdr::ReportData data{"003_001", {}, "Tuesday, December 08, 2026"};
    for (int m = 1; m <= 10; ++m) {
        data.rows.push_back(kqvdr::test::passingRow(m));
    }
    const QString path = QDir::temp().filePath(QStringLiteral("kqvdr-report-bench.pdf"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(kqvdr::writeReportPdf(path, data));
    }
    QFile::remove(path);
}
BENCHMARK(BM_TenMethodReportToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
