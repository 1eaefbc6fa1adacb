#pragma once

#include <cstdint>
#include <string>

namespace kqvdr {

struct DiscoveryInfo {
    std::string serverUuid;
    std::uint16_t port = 0;
    std::string version; // the version of SiLA 2 the server follows, e.g. "1.0"
    std::string serverName;
    std::string description;
    std::string certificateAuthorityPem; // empty unless self-signed
};

} // namespace kqvdr
