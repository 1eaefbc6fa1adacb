#include "ConnectionGuard.h"

#include "HeapTrim.h"
#include "OwnCounters.h"

#include <cstdio>

namespace kqvdr::remote {

ConnectionGuard::ConnectionGuard(std::uint16_t port, std::size_t perAddress,
                                 std::function<bool()> restart,
                                 std::function<std::uint64_t()> acceptFailures)
    : perAddress_(perAddress), restart_(std::move(restart)),
      acceptFailures_(std::move(acceptFailures)), acceptFailuresSeen_(acceptFailures_()),
      sockets_(port), thread_([this] { run(); }) {}

ConnectionGuard::~ConnectionGuard() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    thread_.join();
}

std::size_t ConnectionGuard::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

std::size_t ConnectionGuard::restarts() const {
    std::lock_guard lock(mutex_);
    return restarts_;
}

std::size_t ConnectionGuard::floodsCut() const {
    std::lock_guard lock(mutex_);
    return floodsCut_;
}

void ConnectionGuard::run() {
    constexpr auto kFloodLooks = kPeriod / kFloodPeriod;
    std::unique_lock lock(mutex_);
    for (std::int64_t count = 1; !stop_.wait_for(lock, kFloodPeriod, [this] { return stopping_; });
         ++count) {
        lock.unlock();
        watchFloods();
        if (count % kFloodLooks == 0) {
            look();
            // Here rather than on the program's thread: giving back a flood's memory takes a
            // while.
            HeapTrim::look();
        }
        lock.lock();
    }
}

void ConnectionGuard::watchFloods() {
    const auto resident = residentBytes();
    if (!resident) {
        return;
    }
    std::map<std::uint64_t, std::uint64_t> received;
    std::map<std::uint64_t, std::string> peers;
    // Without counters no connection can be blamed, and the list would cost for nothing.
    if (breaker_.watching() && sockets_.countsReceived()) {
        for (const OwnSocket& socket : sockets_.list(true)) {
            if (!socket.listening && socket.received) {
                received[socket.id] = *socket.received;
                peers[socket.id] = socket.peer;
            }
        }
    }
    const auto blamed = breaker_.look(*resident, std::move(received));
    if (!blamed || !sockets_.cut(*blamed)) {
        return;
    }
    std::fprintf(stderr,
                 "kqvdr1000-control: SiLA 2 server: closed the connection of %s, which "
                 "flooded the server with calls\n",
                 peers[*blamed].c_str());
    std::lock_guard lock(mutex_);
    ++floodsCut_;
}

void ConnectionGuard::look() {
    std::vector<Connection> connections;
    std::size_t waiting = 0;
    for (OwnSocket& socket : sockets_.list(false)) {
        if (socket.listening) {
            waiting += socket.waiting;
        } else {
            connections.push_back({socket.id, std::move(socket.peer)});
        }
    }
    std::size_t closed = 0;
    for (const Connection& over : connectionsOverCap(connections, perAddress_)) {
        closed += sockets_.cut(over.id) ? 1 : 0;
    }
    bool restarted = false;
    if (const std::uint64_t failures = acceptFailures_(); failures != acceptFailuresSeen_) {
        acceptFailuresSeen_ = failures;
        listener_.acceptFailed();
    }
    // Only where the system tells a listener's queue: elsewhere nothing ever waits.
    restartDue_ = listener_.stalled(waiting) || restartDue_;
    if (restartDue_) {
        listener_.reset();
        restarted = restart_();
        restartDue_ = !restarted;
    }
    std::lock_guard lock(mutex_);
    closed_ += closed;
    restarts_ += restarted ? 1 : 0;
}

} // namespace kqvdr::remote
