#pragma once

#include "TestResult.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace kqvdr {

// The methods a test log is analysed for. The test methods are 1 to 10; 0 is the custom method.
inline constexpr int kFirstAnalysedMethod = 0;
inline constexpr int kLastAnalysedMethod = 10;

// What a log gave: its rows, and the lines that could not be read and were passed over.
struct LogAnalysis {
    std::vector<TestResult> rows;
    std::size_t unreadableLines = 0;
    std::size_t firstUnreadableLine = 0; // 1-based; 0 when every line was read
};

// Judges a system test log: one row per method block found, in method order. Each method's
// block is its first run of records in the file; it ends at another method's record, an ERROR
// record or the end of the text. A line that cannot be read is passed over and counted, and
// the block being read when it came is marked with it, so that one damaged line costs that
// line and no more. Blank lines hold nothing and are passed over silently. The text is read
// once.
LogAnalysis analyseLog(std::string_view text, bool fineFlow);
std::vector<TestResult> analyseTestLog(std::string_view text, bool fineFlow);

// The same for a file, which must be a plain file of a sane size; the system's reason when it
// cannot be read.
std::error_code analyseLogFile(const std::filesystem::path& path, bool fineFlow,
                               LogAnalysis& analysis);
std::optional<std::vector<TestResult>> analyseTestLogFile(const std::filesystem::path& path,
                                                          bool fineFlow);

// Logs of fine gas-flow instruments carry "M03" in their path.
bool fineFlowLog(const std::filesystem::path& path);

// "12 lines of the log could not be read and were left out; the first is line 31.", or
// nothing when every line was read.
std::string unreadableLinesText(const LogAnalysis& analysis);

} // namespace kqvdr
