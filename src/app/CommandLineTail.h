#pragma once

#include <string>
#include <string_view>

namespace kqvdr {

// What follows the program's name on a Windows command line, exactly as typed, quotes and all,
// so that it can be handed on to another program unchanged. The name ends at its closing quote
// when it starts with one, else at the first space or tab (the rule Windows itself applies to
// the program's name).
std::wstring_view commandLineTail(std::wstring_view commandLine);

} // namespace kqvdr
