#include "TestVerdicts.h"

namespace kqvdr {
namespace {

constexpr std::array<const char*, kSystemTestCount> kLabels = {
    "1. Temperature Response", "2. Temperature Stability", "3. Baseline Stability",
    "4. Mass Flow Response"};

} // namespace

bool rowPasses(const TestResult& row, SystemTest test) {
    switch (test) {
    case SystemTest::TemperatureResponse:
        return row.respPass;
    case SystemTest::TemperatureStability:
        return row.stable();
    case SystemTest::BaselineStability:
        return row.baselinePass;
    case SystemTest::MassFlow:
        return row.gasPass;
    }
    return false;
}

bool rowShows(const TestResult& row, SystemTest /*test*/) {
    return row.segmentJudged();
}

const char* rowStatusText(const TestResult& row, SystemTest test) {
    if (!rowShows(row, test)) {
        return "-";
    }
    return rowPasses(row, test) ? "Pass" : "Fail";
}

TestVerdicts overallVerdicts(const std::vector<TestResult>& rows) {
    TestVerdicts result;
    for (int i = 0; i < kSystemTestCount; ++i) {
        const auto test = static_cast<SystemTest>(i);
        bool shown = false;
        bool failed = false;
        for (const TestResult& row : rows) {
            if (rowShows(row, test)) {
                shown = true;
                failed = failed || !rowPasses(row, test);
            }
        }
        result.verdicts[static_cast<std::size_t>(i)] = !shown   ? Verdict::NotTested
                                                       : failed ? Verdict::Failed
                                                                : Verdict::Passed;
    }
    return result;
}

const char* systemTestLabel(SystemTest test) {
    return kLabels[static_cast<std::size_t>(test)];
}

const char* systemTestName(SystemTest test) {
    return systemTestLabel(test) + 3; // past "N. "
}

const char* verdictWord(Verdict verdict) {
    switch (verdict) {
    case Verdict::Passed:
        return "passed";
    case Verdict::Failed:
        return "failed";
    case Verdict::NotTested:
        break;
    }
    return "not tested";
}

} // namespace kqvdr
