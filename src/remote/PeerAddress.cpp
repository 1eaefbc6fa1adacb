#include "PeerAddress.h"

namespace kqvdr::remote {

std::string peerAddress(std::string_view peer) {
    for (std::string_view scheme : {"ipv4:", "ipv6:"}) {
        if (peer.substr(0, scheme.size()) != scheme) {
            continue;
        }
        std::string_view rest = peer.substr(scheme.size());
        if (!rest.empty() && rest.front() == '[') {
            const auto close = rest.find(']');
            if (close != std::string_view::npos) {
                return std::string(rest.substr(1, close - 1));
            }
        }
        const auto colon = rest.rfind(':');
        return std::string(colon == std::string_view::npos ? rest : rest.substr(0, colon));
    }
    return std::string(peer);
}

} // namespace kqvdr::remote
