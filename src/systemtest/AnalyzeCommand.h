#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

namespace kqvdr {

struct AnalyzeRequest {
    std::filesystem::path log;
    std::optional<bool> fineFlow; // by the log's path, as the results dialog decides, when unset
    bool json = false;
    std::optional<std::filesystem::path> csv;    // also the result rows as CSV there
    std::optional<std::filesystem::path> report; // the report's PDF, written by the caller
};

// The message when an output would land on the log or on the other output, which would
// destroy the raw data or one of the two results. Files are compared by identity, not by how
// their paths are spelled.
std::optional<std::string> outputClash(const AnalyzeRequest& request);

// --analyze: analyses a log without a window and prints the result. 0 when the analysis ran,
// whatever its verdicts; 1 (after a message on `errors`) when the log cannot be read or the CSV
// cannot be written; 2 when an output is the log itself or the other output.
int runAnalyzeCommand(const AnalyzeRequest& request, std::ostream& out, std::ostream& errors);

} // namespace kqvdr
