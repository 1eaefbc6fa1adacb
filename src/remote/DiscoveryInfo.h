#pragma once

#include <cstdint>
#include <string>

namespace kqvdr {

struct DiscoveryInfo {
    std::string serverUuid;
    std::uint16_t port = 0;
    std::string version; // the server's version, as SiLAService gives it
    std::string serverName;
    std::string description;
    std::string certificateAuthorityPem; // empty unless self-signed
};

} // namespace kqvdr
