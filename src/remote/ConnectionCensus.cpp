#include "ConnectionCensus.h"

#include <algorithm>
#include <map>

namespace kqvdr::remote {

std::vector<Connection> connectionsOverCap(std::vector<Connection> connections,
                                           std::size_t perAddress) {
    std::sort(connections.begin(), connections.end(),
              [](const Connection& a, const Connection& b) { return a.id < b.id; });
    std::map<std::string, std::size_t> held;
    std::vector<Connection> over;
    for (const Connection& connection : connections) {
        if (++held[connection.address] > perAddress) {
            over.push_back(connection);
        }
    }
    return over;
}

bool ListenerWatch::stalled(std::size_t waiting) {
    seen_ = waiting > 0 ? seen_ + 1 : 0;
    return failed_ && seen_ >= looks_;
}

} // namespace kqvdr::remote
