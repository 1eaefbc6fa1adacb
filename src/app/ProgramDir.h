#pragma once

#include <optional>
#include <string>

namespace kqvdr {

// The directory every data file is found in: --dir when given, else the executable's own
// directory. Absolute, with a trailing separator, so callers append a file name directly.
std::string resolveProgramDir(const std::optional<std::string>& dirOption,
                              const std::string& executableDir);

} // namespace kqvdr
