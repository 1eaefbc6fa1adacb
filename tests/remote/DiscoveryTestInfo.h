#pragma once

#include "DiscoveryInfo.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kqvdr {

// A server as the discovery tests announce it.
inline const std::string kDiscoveryTestUuid = "0f8fad5b-d9cb-469f-a165-70867728950e";

inline DiscoveryInfo plainInfo() {
    return {kDiscoveryTestUuid,
            50052,
            "4.10",
            "KQ-VDR 1000 Control",
            "Evaporative light-scattering detector",
            ""};
}

// The certificate as a client puts it together: the ca entries in order, a line each.
inline std::string joinedCertificate(const std::vector<std::string>& entries) {
    std::string pem;
    for (std::size_t i = 0;; ++i) {
        const std::string key = "ca" + std::to_string(i) + "=";
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](const std::string& e) { return e.starts_with(key); });
        if (found == entries.end()) {
            return pem;
        }
        pem += found->substr(key.size()) + "\n";
    }
}

} // namespace kqvdr
