#pragma once

#include "TestResult.h"

#include <string>
#include <vector>

namespace kqvdr {

// The analysis of one log as the command line prints it: a plain text table of the rows with
// the four verdicts under it, or one JSON object with every row field under its own name. Both
// say how many lines could not be read, and which rows lost lines.
struct AnalysisOutput {
    std::string serial; // shown form, "003-001"
    bool fineFlow = false;
    std::vector<TestResult> rows;
    std::size_t unreadableLines = 0;
    std::size_t firstUnreadableLine = 0; // 1-based; 0 when every line was read
};

std::string analysisTable(const AnalysisOutput& analysis);
std::string analysisJson(const AnalysisOutput& analysis);

} // namespace kqvdr
