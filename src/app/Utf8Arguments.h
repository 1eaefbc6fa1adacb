#pragma once

#include <string>
#include <vector>

namespace kqvdr {

// The command line's arguments after the program name, as UTF-8. On Windows argv holds them in
// the ANSI code page, which loses a file name outside it, so they are read again as UTF-16.
std::vector<std::string> utf8Arguments(int argc, char* argv[]);

} // namespace kqvdr
