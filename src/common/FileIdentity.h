#pragma once

#include <filesystem>

namespace kqvdr {

// Whether two paths name the same file, however they are spelled: through links, "..", a
// relative path or another case on a case-blind disk. Two paths of which neither exists yet
// are the same when they resolve to the same place.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace kqvdr
