#pragma once

#include "SteadyClock.h"

#include <chrono>
#include <cstdint>

namespace kqvdr {

// The line a driver restores when it reopens a port by itself.
struct LineSettings {
    std::int32_t dataBits = 8;
    std::int32_t parity = 0;
};

// When a serial device counts as gone, and when a driver tries it again. One failed read or
// write is forgiven (a USB adapter hiccups); the second in a row means the device is gone. A
// gone device, or one that could not be opened, is tried once a second, never faster: each
// attempt is a system call that fails for as long as the adapter is out.
class PortRevival {
public:
    static constexpr std::chrono::milliseconds kRetryInterval{1000};
    static constexpr int kFailuresBeforeGone = 2;

    explicit PortRevival(const SteadyClock& clock) : clock_(clock) {}

    // The device is open and well, or the port was closed on command.
    void reset() { failures_ = 0; }
    // A read or write failed; true when the device now counts as gone.
    bool failed() { return ++failures_ >= kFailuresBeforeGone; }
    void succeeded() { failures_ = 0; }
    // The device is not open (lost, or its open failed): the next attempt is a second away.
    void lost();
    // Whether an attempt to reopen is due; a true answer starts the next second's wait.
    bool attemptDue();

private:
    const SteadyClock& clock_;
    int failures_ = 0;
    std::chrono::steady_clock::time_point nextAttempt_{};
};

} // namespace kqvdr
