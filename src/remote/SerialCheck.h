#pragma once

#include <string_view>

namespace kqvdr::remote {

// "003-042" or "M03-042": a serial number as the system test's dialog takes it.
bool isTestSerialNumber(std::string_view serial);

} // namespace kqvdr::remote
