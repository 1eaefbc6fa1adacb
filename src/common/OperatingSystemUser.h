#pragma once

#include <string>

namespace kqvdr {

// The account this program runs as, as the operating system knows it: DOMAIN\user on Windows,
// the name of the effective user id elsewhere. Never taken from the environment, which anyone
// can set to any name.
std::string operatingSystemUser();

} // namespace kqvdr
