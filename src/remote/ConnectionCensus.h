#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kqvdr::remote {

// One of the server's accepted connections at one look.
struct Connection {
    std::uint64_t id = 0; // the socket's: the larger, the newer
    std::string address;  // the client's
};

// The connections to close so that no address holds more than `perAddress`: the newest beyond
// the cap, so that a client already served keeps its connection when the same address floods.
std::vector<Connection> connectionsOverCap(std::vector<Connection> connections,
                                           std::size_t perAddress);

// Tells a listener that no longer accepts: connections wait in its queue look after look, and
// gRPC has said that an accept failed. gRPC accepts within milliseconds while it is well, and
// gives up for good only after such a failure ("Too many open files"); a queue that waits
// without one is a busy server, and restarting it would end every client's calls.
class ListenerWatch {
public:
    explicit ListenerWatch(int looks) : looks_(looks) {}
    // gRPC reported a failed accept: from now on a waiting queue means a stall.
    void acceptFailed() { failed_ = true; }
    // One look at how many connections wait to be accepted; true when the listener is stalled.
    bool stalled(std::size_t waiting);
    // After a restart: the new listener has failed nothing yet.
    void reset() {
        seen_ = 0;
        failed_ = false;
    }

private:
    int looks_;
    int seen_ = 0;
    bool failed_ = false;
};

} // namespace kqvdr::remote
