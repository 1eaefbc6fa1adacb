#pragma once

#include <string_view>

namespace kqvdr::remote {

// True for an address only this computer can reach (localhost, 127.0.0.0/8, ::1 and its
// IPv4-mapped form): a server listening there is not announced on the network, where every
// client that found it would fail to connect.
bool isLocalOnlyAddress(std::string_view address);

} // namespace kqvdr::remote
