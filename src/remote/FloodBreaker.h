#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>

namespace kqvdr::remote {

// Tells which connection to cut when calls flood in faster than the server can take them.
// gRPC 1.51 reads every stream a client opens, even one it cancels at once (HTTP/2 rapid
// reset), and keeps each as a call waiting for a thread: about 10 KB apiece, 100 MB a second
// from one connection, with no setting to bound it. What the program sees of it is its own
// memory growing fast; the connection to blame is the one that sent the most meanwhile.
class FloodBreaker {
public:
    // Growth of the resident memory within kWindowLooks looks that only a flood causes.
    static constexpr std::size_t kFloodGrowthBytes = 16 * 1024 * 1024;
    static constexpr std::size_t kWindowLooks = 20;
    // What a connection must have sent since the previous look to be blamed.
    static constexpr std::uint64_t kLeastFloodBytes = 8 * 1024;
    // A flood grows the memory look after look; a login's password hash takes its 32 MB in one
    // step, and a client busy at that moment must not be taken for a flood.
    static constexpr std::size_t kSustainedLooks = 3;
    static constexpr std::size_t kSustainedStepBytes = 1024 * 1024;
    // The program's own start grows its memory for seconds, while the first clients call.
    static constexpr std::size_t kSettleLooks = 100;

    // Whether the next look needs the connections' counters: memory grows towards a flood's.
    bool watching() const { return watching_; }

    // One look: the process's resident bytes and, while watching, the bytes each connection
    // (by its socket's id) has received so far. The connection to cut, if any.
    std::optional<std::uint64_t> look(std::size_t residentBytes,
                                      std::map<std::uint64_t, std::uint64_t> received);

private:
    bool growingLookAfterLook() const;

    std::deque<std::size_t> resident_; // the last looks, oldest first
    std::map<std::uint64_t, std::uint64_t> previous_;
    bool watching_ = false;
    std::size_t looks_ = 0;
};

} // namespace kqvdr::remote
