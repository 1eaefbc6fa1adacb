#include "ReportContent.h"

#include <cmath>
#include <cstdio>

namespace kqvdr {
namespace {

// Report numbers are the instrument's own, never the reader's regional settings.
std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    std::string result = text;
    for (char& c : result) {
        if (c == ',') {
            c = '.';
        }
    }
    return result;
}

std::string passText(bool pass) {
    return pass ? "Pass" : "Fail";
}

struct TestTexts {
    SystemTest test;
    const char* label;
    const char* passed;
    const char* failed;
};

constexpr TestTexts kTests[] = {
    {SystemTest::TemperatureResponse, "Temperature Response :",
     "Both the nebuliser and evaporation heaters have successfully reached the desired "
     "temperature within the expected time period.",
     "Your KQ-VDR 1000 failed to satisfy the time requirements to reach a stable temperature."},
    {SystemTest::TemperatureStability, "Temperature Accuracy :",
     "Both the nebuliser and evaporator were successfully maintaining a constant temperature at "
     "the desired setpoints.",
     "Your KQ-VDR 1000 failed to maintain a constant temperature. There may be a problem with "
     "the heater controllers."},
    {SystemTest::BaselineStability, "Baseline Stability :",
     "The output of your KQ-VDR 1000 instrument has shown to satisfy the test criteria of the "
     "baseline test.",
     "The detector output was recorded outside the range in which the system can effectively "
     "perform a autozero or the baseline stability was analysed to be out of tolerence."},
    {SystemTest::MassFlow, "Mass Flow Response :",
     "The mass flow controller was successfully reaching and maintaining the desired gas flow "
     "rates set.",
     "The mass flow controller in your KQ-VDR 1000 failed to respond successfully during the "
     "system test."},
};

// A test that no record of the log shows was not carried out; it must not certify a pass.
constexpr const char* kNotTested =
    "No record in the test log shows this test, so it was not carried out.";

// A block that began in ERROR measured nothing: every value and verdict reads "-".
MethodBlockTexts noDataBlock(MethodBlockTexts block) {
    block.nebuliser = block.evaporator = block.gas = "-";
    TestResult measuredRow;
    measuredRow.hasData = true;
    const MethodBlockTexts measured = methodBlockTexts(measuredRow);
    for (std::size_t r = 0; r < block.cells.size(); ++r) {
        block.cells[r] = {measured.cells[r][0], r == 1 ? "" : "  -", r == 1 ? "" : "  -", "-"};
    }
    return block;
}

} // namespace

int reportPageCount(std::size_t resultRows) {
    if (resultRows == 1) {
        return 2;
    }
    return static_cast<int>(std::ceil(static_cast<double>(resultRows) * 0.3333333333333333)) + 1;
}

std::pair<std::size_t, std::size_t> rowsOnPage(int page, std::size_t resultRows) {
    if (page < 2) {
        return {0, 0};
    }
    const std::size_t first = static_cast<std::size_t>(3 * page - 6);
    return {std::min(first, resultRows), std::min(first + 3, resultRows)};
}

std::array<ReportTest, kSystemTestCount> reportTests(const std::vector<TestResult>& rows) {
    const TestVerdicts verdicts = overallVerdicts(rows);
    std::array<ReportTest, kSystemTestCount> tests;
    for (std::size_t i = 0; i < tests.size(); ++i) {
        const TestTexts& texts = kTests[i];
        switch (verdicts.of(texts.test)) {
        case Verdict::Passed:
            tests[i] = {texts.label, "PASSED", texts.passed};
            break;
        case Verdict::Failed:
            tests[i] = {texts.label, "FAILED", texts.failed};
            break;
        case Verdict::NotTested:
            tests[i] = {texts.label, "NOT TESTED", kNotTested};
            break;
        }
    }
    return tests;
}

MethodBlockTexts methodBlockTexts(const TestResult& row) {
    MethodBlockTexts block;
    block.title = "Method " + std::to_string(row.method);
    if (row.unreadableLines > 0) {
        block.title += " (" + std::to_string(row.unreadableLines) +
                       (row.unreadableLines == 1 ? " line" : " lines") + " unreadable)";
    }
    if (!row.hasData) {
        return noDataBlock(std::move(block));
    }
    block.nebuliser = std::to_string(row.nebSet) + " C";
    block.evaporator = std::to_string(row.evapSet) + " C";
    block.gas = format("%1.2f SLM", row.gasSet);

    const bool evaluated = row.stabEvaluated;
    // A block never in Run attempted no test: its verdicts read "-", as the first page's do.
    const auto status = [&row](bool pass) { return row.segmentJudged() ? passText(pass) : "-"; };
    const auto stability = [evaluated](const char* pattern, double value) {
        return evaluated ? format(pattern, value) : std::string("  -");
    };
    block.cells = {{
        {"1. Temperature Response (hh:mm:ss)", "  " + row.respExpected, "  " + row.respElapsed,
         status(row.respPass)},
        {"2. Temperature Stability", "", "", status(row.stable())},
        {"    2.1. Nebuliser (Average Offset C)", stability("  \u00b1 %2.2f", row.nebOffsetLimit),
         stability("  %2.2f", row.nebMeanOffset), status(row.nebOffsetPass)},
        {"    2.2. Evaporator (Average Offset C)", stability("  \u00b1 %2.2f", row.evapOffsetLimit),
         stability("  %2.2f", row.evapMeanOffset), status(row.evapOffsetPass)},
        {"    2.3. Nebuliser (RSD %)", stability("  %2.2f", row.nebRsdLimit),
         stability("  %2.2f", row.nebRsd), status(row.nebRsdPass)},
        {"    2.4. Evaporator (RSD %)", stability("  %2.2f", row.evapRsdLimit),
         stability("  %2.2f", row.evapRsd), status(row.evapRsdPass)},
        {"3. Baseline Stability (Photo Output V)", format("  %2.3f", row.photoLimit),
         format("  %2.3f", row.photoMax), status(row.baselinePass)},
        {"4. Mass Flow Response (sec)", "  " + std::to_string(row.gasLimit),
         "  " + std::to_string(row.gasResponse), status(row.gasPass)},
    }};
    return block;
}

} // namespace kqvdr
