#pragma once

#include "TestResult.h"

#include <array>
#include <string>
#include <vector>

namespace kqvdr {

enum class Verdict { Passed, Failed, NotTested };

// The four tests in the order the results dialog and the report list them.
enum class SystemTest { TemperatureResponse, TemperatureStability, BaselineStability, MassFlow };
inline constexpr int kSystemTestCount = 4;

struct TestVerdicts {
    std::array<Verdict, kSystemTestCount> verdicts{};

    Verdict of(SystemTest test) const { return verdicts[static_cast<std::size_t>(test)]; }
    bool operator==(const TestVerdicts&) const = default;
};

// A verdict is what the rows show, so the two never disagree: failed when a row that shows the
// test fails it, passed when every row that shows it passes, and "not tested" only when no row
// shows it (no record in Run, or only ERROR lines). An instrument that ran and never got stable
// failed; it was not spared a test.
TestVerdicts overallVerdicts(const std::vector<TestResult>& rows);

// Whether a row passes one test.
bool rowPasses(const TestResult& row, SystemTest test);
// Whether a row's records attempt the test: any record in Run or Gas Save attempts all four. A
// row that does not shows "-" rather than a pass or a fail.
bool rowShows(const TestResult& row, SystemTest test);
// "Pass", "Fail", or "-" for a row that does not show the test.
const char* rowStatusText(const TestResult& row, SystemTest test);

// "1. Temperature Response" and the others, as the results dialog labels them.
const char* systemTestLabel(SystemTest test);
// "Temperature Response" and the others, without the number.
const char* systemTestName(SystemTest test);
// "passed", "failed", "not tested".
const char* verdictWord(Verdict verdict);

} // namespace kqvdr
