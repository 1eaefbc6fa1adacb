#pragma once

#include "TestResult.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace kqvdr {

// The methods a test log is analysed for. The test methods are 1 to 10; 0 is the custom method.
inline constexpr int kFirstAnalysedMethod = 0;
inline constexpr int kLastAnalysedMethod = 10;

// Judges a system test log: one row per method block found, in method order. Each method's
// block is its first run of records in the file; it ends at another method's record, an ERROR
// record, the end of the text or a line that does not convert, and a line that does not convert
// also ends the search for every method not yet found. The text is read once.
std::vector<TestResult> analyseTestLog(std::string_view text, bool fineFlow);

// The same for a file; nothing when it cannot be read.
std::optional<std::vector<TestResult>> analyseTestLogFile(const std::filesystem::path& path,
                                                          bool fineFlow);

// Logs of fine gas-flow instruments carry "M03" in their path.
bool fineFlowLog(const std::filesystem::path& path);

} // namespace kqvdr
