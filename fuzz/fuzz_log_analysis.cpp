// Any bytes as a system test log: the reader and the analysis never go out of bounds, every
// line is either a record or counted as unreadable, rows come in method order and no row
// without records is judged.
#include "LogRecord.h"
#include "SystemTestAnalysis.h"
#include "TestVerdicts.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool fine = size > 0 && (data[0] & 1) != 0;
    const kqvdr::LogAnalysis analysis = kqvdr::analyseLog(text, fine);

    std::size_t lines = 0;
    std::size_t unreadable = 0;
    kqvdr::LogLineReader reader(text);
    std::string_view line;
    kqvdr::LogRecord record;
    while (reader.next(line)) {
        ++lines;
        if (kqvdr::readLogRecord(line, record)) {
            check(std::isfinite(record.nebTemp) && std::isfinite(record.detector));
            check(record.time.size() <= 8);
        } else if (!kqvdr::blankLine(line)) {
            ++unreadable;
        }
    }
    check(analysis.unreadableLines == unreadable);
    check((analysis.firstUnreadableLine == 0) == (unreadable == 0));
    check(analysis.firstUnreadableLine <= lines);
    check(analysis.rows.size() <= 11);
    int lostOnRows = 0;
    for (std::size_t i = 0; i < analysis.rows.size(); ++i) {
        const kqvdr::TestResult& row = analysis.rows[i];
        check(i == 0 || analysis.rows[i - 1].method < row.method);
        check(row.hasData || !row.segmentJudged());
        lostOnRows += row.unreadableLines;
    }
    check(static_cast<std::size_t>(lostOnRows) <= unreadable);

    const kqvdr::TestVerdicts verdicts = kqvdr::overallVerdicts(analysis.rows);
    if (analysis.rows.empty()) {
        for (const kqvdr::Verdict verdict : verdicts.verdicts) {
            check(verdict == kqvdr::Verdict::NotTested);
        }
    }
    return 0;
}
