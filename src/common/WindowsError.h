#pragma once

#include <system_error>

namespace kqvdr {

// A Windows error code (GetLastError) whose message is Windows' own text from FormatMessageW,
// in UTF-8, so that the person reads what the system says rather than a C library's guess.
// The commonest codes compare equal to their std::errc.
const std::error_category& windowsErrorCategory();
std::error_code windowsError(unsigned long code);
std::error_code lastWindowsError();

} // namespace kqvdr
