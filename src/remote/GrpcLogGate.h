#pragma once

#include "FloodCounter.h"

#include <atomic>
#include <cstdint>
#include <string_view>

namespace kqvdr::remote {

// While it lives, gRPC's line about each connection that failed its TLS handshake (bytes that
// are no TLS, a client without TLS: anyone who reaches the port can send them) is counted in
// `counter` instead of printed, and so is its Windows line about each connection whose accept
// completed with an error (a client that reset it first), in `acceptErrors`; every other gRPC
// line is printed as gRPC prints it. A failed accept on Linux is printed and also counted in
// `acceptFailures`, the sign that the listener may have given up. One gate at a time; gRPC's
// own printing comes back when it ends.
class GrpcLogGate {
public:
    GrpcLogGate(FloodCounter& counter, FloodCounter& acceptErrors,
                std::atomic<std::uint64_t>& acceptFailures);
    ~GrpcLogGate();
    GrpcLogGate(const GrpcLogGate&) = delete;
    GrpcLogGate& operator=(const GrpcLogGate&) = delete;

    // True for a line this gate counts rather than prints.
    static bool counted(std::string_view message);
    // True for gRPC's Windows line about one connection's accept that completed with an error.
    static bool acceptError(std::string_view message);
    // True for gRPC's line about an accept that failed.
    static bool failedAccept(std::string_view message);
};

} // namespace kqvdr::remote
