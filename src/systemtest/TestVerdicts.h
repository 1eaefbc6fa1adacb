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

// A test passes when every row passes it, and at least one row holds evidence for it: a test no
// row shows (a log without rows, a log whose every block is in ERROR) reads "not tested" rather
// than passed.
TestVerdicts overallVerdicts(const std::vector<TestResult>& rows);

// Whether a row passes one test.
bool rowPasses(const TestResult& row, SystemTest test);
// Whether a row's records show the test at all: a heating segment for the response, a stable
// one for the stability, either for the baseline and the gas flow.
bool rowShows(const TestResult& row, SystemTest test);

// "1. Temperature Response" and the others, as the results dialog labels them.
const char* systemTestLabel(SystemTest test);
// "Temperature Response" and the others, without the number.
const char* systemTestName(SystemTest test);
// "passed", "failed", "not tested".
const char* verdictWord(Verdict verdict);

} // namespace kqvdr
