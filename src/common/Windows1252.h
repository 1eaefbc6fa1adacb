#pragma once

#include <string>
#include <string_view>

namespace kqvdr {

// Data files hold Windows-1252 bytes; the program works in UTF-8. Conversion happens only at
// the file boundary.
std::string utf8FromWindows1252(std::string_view bytes);

// Characters that Windows-1252 cannot hold, and malformed UTF-8, become '?'.
std::string windows1252FromUtf8(std::string_view text);

} // namespace kqvdr
