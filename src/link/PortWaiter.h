#pragma once

#include <chrono>

namespace kqvdr {

// Lets a reader that waits for a reply sleep on the port instead of spinning. Returns early when
// a byte arrives; may return at once when the port is gone.
class PortWaiter {
public:
    virtual ~PortWaiter() = default;
    virtual void WaitForReceive(std::chrono::milliseconds limit) = 0;
};

} // namespace kqvdr
