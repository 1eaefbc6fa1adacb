#pragma once

#ifdef _WIN32

#include <string>
#include <string_view>

namespace kqvdr {

// Windows speaks UTF-16 and the program UTF-8; every name and message crosses here. Text that
// is not valid in its encoding comes out with replacement characters rather than cut short.
std::string utf8FromWide(std::wstring_view text);
std::wstring wideFromUtf8(std::string_view text);

} // namespace kqvdr

#endif
