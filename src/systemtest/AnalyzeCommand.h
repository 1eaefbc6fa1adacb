#pragma once

#include <filesystem>
#include <optional>
#include <ostream>

namespace kqvdr {

struct AnalyzeRequest {
    std::filesystem::path log;
    std::optional<bool> fineFlow; // by the log's path, as the results dialog decides, when unset
    bool json = false;
    std::optional<std::filesystem::path> csv; // also the result rows as CSV there
};

// --analyze: analyses a log without a window and prints the result. 0 when the analysis ran,
// whatever its verdicts; 1 (after a message on `errors`) when the log cannot be read or the CSV
// cannot be written.
int runAnalyzeCommand(const AnalyzeRequest& request, std::ostream& out, std::ostream& errors);

} // namespace kqvdr
