#pragma once

#include <filesystem>
#include <string>

namespace kqvdr {

// Why a file that holds secrets may be read by others, ending with what makes it private
// again; empty when only its owner may. Empty too when the file cannot be looked at: reading
// it then fails with the system's own reason. On Linux the group and other bits of its mode;
// on Windows the entries of its access list.
std::string ownerOnlyProblem(const std::filesystem::path& file);

} // namespace kqvdr
