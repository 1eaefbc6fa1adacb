#pragma once

#include "TestResult.h"
#include "TestVerdicts.h"

#include <array>
#include <string>
#include <vector>

namespace kqvdr {

inline constexpr const char* kReportTitle = "INSTRUMENT PERFORMANCE REPORT";

// Page 1 and then three methods to a page.
int reportPageCount(std::size_t resultRows);
// The rows, 0-based, that page 2 onwards shows.
std::pair<std::size_t, std::size_t> rowsOnPage(int page, std::size_t resultRows);

// One of the four tests on page 1: its label, "PASSED" or "FAILED" and the sentence that goes
// with it; "NOT TESTED" when the log holds no analysed method at all.
struct ReportTest {
    std::string label;
    std::string verdict;
    std::string sentence;
};
std::array<ReportTest, kSystemTestCount> reportTests(const std::vector<TestResult>& rows);

// The method block of a result row: the three setpoint texts and the eight rows of the table
// (test, limit, measured result, status), text as printed.
struct MethodBlockTexts {
    std::string title;
    std::string nebuliser;
    std::string evaporator;
    std::string gas;
    std::array<std::array<std::string, 4>, 8> cells;
};
MethodBlockTexts methodBlockTexts(const TestResult& row);

inline constexpr std::array<const char*, 4> kMethodTableColumns = {"Test", "Limit",
                                                                   "Measured Result", "Status"};
inline constexpr std::array<double, 4> kMethodTableWidths = {3.0, 1.5, 1.5, 0.7};

} // namespace kqvdr
