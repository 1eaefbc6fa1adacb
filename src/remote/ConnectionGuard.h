#pragma once

#include "ConnectionCensus.h"
#include "FloodBreaker.h"
#include "OwnSockets.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace kqvdr::remote {

// Guards the server's port where gRPC has no setting for it: it closes an address's connections
// beyond its cap, and calls `restart` when the listener has stopped accepting (again at every
// look until it succeeds). It looks at the process's own sockets once a second, and then
// has the allocator give back what a flood of calls left behind. Twenty times a second it watches
// the process's memory, and cuts the connection that floods it with calls.
class ConnectionGuard {
public:
    static constexpr std::chrono::milliseconds kPeriod{1000};
    static constexpr std::chrono::milliseconds kFloodPeriod{50};

    // `acceptFailures` tells how many accepts gRPC has reported failed so far.
    ConnectionGuard(std::uint16_t port, std::size_t perAddress, std::function<bool()> restart,
                    std::function<std::uint64_t()> acceptFailures);
    ~ConnectionGuard();
    ConnectionGuard(const ConnectionGuard&) = delete;
    ConnectionGuard& operator=(const ConnectionGuard&) = delete;

    std::size_t closed() const;
    std::size_t restarts() const;
    std::size_t floodsCut() const;

private:
    void run();
    void look();
    void watchFloods();

    std::size_t perAddress_;
    std::function<bool()> restart_;
    std::function<std::uint64_t()> acceptFailures_;
    std::uint64_t acceptFailuresSeen_ = 0;
    ListenerWatch listener_{3};
    mutable std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::size_t closed_ = 0;
    std::size_t restarts_ = 0;
    std::size_t floodsCut_ = 0;
    FloodBreaker breaker_;
    OwnSockets sockets_; // the guard's thread's alone
    bool restartDue_ = false;
    std::thread thread_;
};

} // namespace kqvdr::remote
