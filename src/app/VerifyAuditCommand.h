#pragma once

namespace kqvdr {

struct CommandLine;

// --verify-audit [FILE]: checks the audit trail without opening a window and prints where its
// chain breaks. Exit code 0 when intact, 1 when broken, 2 when the file cannot be read.
int verifyAuditCommand(const CommandLine& line, int argc, char* argv[]);

} // namespace kqvdr
