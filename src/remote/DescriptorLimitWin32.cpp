#include "DescriptorLimit.h"

namespace kqvdr::remote {

// Sockets on Windows are kernel handles, not C library descriptors: no soft limit stands before
// the system's own of 2^24 handles a process, and there is nothing to raise.
std::uint64_t raiseDescriptorLimit() {
    return std::uint64_t{1} << 24;
}

} // namespace kqvdr::remote
