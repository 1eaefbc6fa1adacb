#pragma once

#include <string>

namespace kqvdr::remote {

// What SiLAService tells about this server beside its name and UUID.
struct ServerDescription {
    std::string type = "KQVDR1000Control";
    std::string description;
    std::string version;
    std::string vendorUrl;
};

} // namespace kqvdr::remote
