#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kqvdr {

// The program's own options. Anything it does not know (Qt's -platform and the like) is left
// for Qt.
struct CommandLine {
    std::optional<std::string> programDir;   // --dir DIR
    std::optional<std::string> device;       // --device PATH
    bool simulate = false;                   // --simulate
    bool fineGas = false;                    // --fine, with --simulate or --analyze
    std::optional<std::string> analyzeLog;   // --analyze LOG: no window
    bool json = false;                       // --json, with --analyze
    std::optional<std::string> reportPdf;    // --report FILE.pdf, with --analyze
    std::optional<std::string> csv;          // --csv FILE, with --analyze
    bool showVersion = false;                // --version
    bool showHelp = false;                   // --help
    bool verifyAudit = false;                // --verify-audit [FILE]
    std::string auditFile;                   // its FILE; empty for the data directory's
    std::optional<int> silaPort;             // --sila PORT: the SiLA 2 server, 0 for any free port
    std::string silaAddress = "127.0.0.1";   // --sila-address ADDR
    std::optional<std::string> silaCert;     // --sila-cert PEM, with --sila-key
    std::optional<std::string> silaKey;      // --sila-key KEY
    bool silaInsecure = false;               // --sila-insecure: plain text, against the standard
    bool silaOpen = false;                   // --sila-open: serve beyond this PC without users
    std::optional<std::string> silaClientCa; // --sila-client-ca PEM: mutual TLS
    std::optional<std::string> silaUserAction; // --sila-user add|remove|password|list
    std::string silaUserName;                  // its NAME (none for list)
    std::optional<std::string> silaUserRole;   // --role ROLE, with --sila-user add
    std::string error;                         // set when the line cannot be used
};

CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// A run that prints and ends (--analyze, --verify-audit, --help, --version, or a line it cannot
// use) rather than open the window: the only kind that belongs to the console it came from.
bool runsInConsole(const CommandLine& line);

std::string commandLineUsage();

} // namespace kqvdr
