#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace kqvdr {

// Why a file that holds secrets may be read by others, ending with what makes it private
// again; empty when only its owner may. Empty too when the file cannot be looked at: reading
// it then fails with the system's own reason. On Linux the group and other bits of its mode;
// on Windows the entries of its access list.
std::string ownerOnlyProblem(const std::filesystem::path& file);

// A private file refused to this account belongs to the account that made it; removing it, as
// a damaged one would be, would take it from that account too.
inline std::string privateFileAdvice(const std::error_code& readError) {
    return readError == std::errc::permission_denied
               ? " It is private to the account that made it: use remote control from that "
                 "account."
               : "";
}

} // namespace kqvdr
