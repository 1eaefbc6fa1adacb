#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kqvdr {

// The program's own options. Anything it does not know (Qt's -platform and the like) is left
// for Qt.
struct CommandLine {
    std::optional<std::string> programDir; // --dir DIR
    std::optional<std::string> device;     // --device PATH
    bool simulate = false;                 // --simulate
    bool fineGas = false;                  // --fine, with --simulate or --analyze
    std::optional<std::string> analyzeLog; // --analyze LOG: no window
    bool json = false;                     // --json, with --analyze
    std::optional<std::string> reportPdf;  // --report FILE.pdf, with --analyze
    std::optional<std::string> csv;        // --csv FILE, with --analyze
    bool showVersion = false;              // --version
    bool showHelp = false;                 // --help
    bool verifyAudit = false;              // --verify-audit [FILE]
    std::string auditFile;                 // its FILE; empty for the data directory's
    std::string error;                     // set when the line cannot be used
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string commandLineUsage();

} // namespace kqvdr
