#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kqvdr::remote {

// One of the process's own TCP sockets on the server's port, as the system shows it.
struct OwnSocket {
    // The same socket keeps its id for its life, and a later socket gets a larger one.
    std::uint64_t id = 0;
    // The client's address; an IPv4 client on an IPv6 socket counts as its IPv4 address.
    std::string peer;
    bool listening = false;
    // A listener's connections waiting to be accepted, where the system tells (0 elsewhere).
    std::size_t waiting = 0;
    // What a connection has received from its client so far, when asked for and told.
    std::optional<std::uint64_t> received;
};

// The process's own TCP sockets on one port: what gRPC gives no access to. The sockets stay
// gRPC's; this only looks at them and, when one must go, shuts it so that gRPC sees the end.
class OwnSockets {
public:
    explicit OwnSockets(std::uint16_t port);
    ~OwnSockets();
    OwnSockets(const OwnSockets&) = delete;
    OwnSockets& operator=(const OwnSockets&) = delete;

    // The listener and the connections on the port. `withReceived` also reads each connection's
    // byte counter, which costs a call per connection.
    std::vector<OwnSocket> list(bool withReceived);

    // Whether `list(true)` can tell what connections received. Not before Windows 10 1703, nor
    // in Wine; known after the first such list.
    bool countsReceived() const;

    // Shuts the connection with `id`, as the last list showed it, if it is still that socket, and
    // drops what it has queued. False when it is gone or could not be shut.
    bool cut(std::uint64_t id);

private:
    struct Platform;
    std::uint16_t port_;
    std::unique_ptr<Platform> platform_;
};

} // namespace kqvdr::remote
