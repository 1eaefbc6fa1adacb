#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kqvdr {

// A random (version 4) UUID in lower-case text, from the system's cryptographic random source;
// nothing when that source fails.
std::optional<std::string> newRandomUuid();

// The text as a UUID in lower case when it is one (8-4-4-4-12 hexadecimal digits).
std::optional<std::string> canonicalUuid(std::string_view text);

} // namespace kqvdr
