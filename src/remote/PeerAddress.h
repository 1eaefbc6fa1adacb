#pragma once

#include <string>
#include <string_view>

namespace kqvdr::remote {

// The client's address as the records name it: "ipv4:192.168.1.20:53122" becomes
// "192.168.1.20", "ipv6:[::1]:53122" becomes "::1"; anything else is kept as it is.
std::string peerAddress(std::string_view peer);

} // namespace kqvdr::remote
