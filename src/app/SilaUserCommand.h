#pragma once

namespace kqvdr {

struct CommandLine;

// --sila-user add|remove|password|list: changes or lists the users who may log in to remote
// control, audits each change, and ends without a window. Exit 0 when done, 1 when refused
// (the program runs on the folder, the user exists or not, the file cannot be used), 2 for input
// it cannot use.
int runSilaUserCommand(const CommandLine& line, int argc, char* argv[]);

} // namespace kqvdr
