#include "ConnectionGuard.h"

#include "HeapTrim.h"
#include "OwnCounters.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kqvdr::remote {
namespace {

struct Socket {
    int descriptor;
    std::uint64_t inode;
};

// Every socket the process holds, from /proc/self/fd. Nothing when no descriptor is left to
// read the directory with: the next look tries again.
std::vector<Socket> ownSockets() {
    std::vector<Socket> sockets;
    DIR* directory = ::opendir("/proc/self/fd");
    if (directory == nullptr) {
        return sockets;
    }
    const int own = ::dirfd(directory);
    while (const dirent* entry = ::readdir(directory)) {
        char* end = nullptr;
        const long descriptor = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || descriptor == own) {
            continue;
        }
        char target[64] = {};
        const ssize_t length =
            ::readlinkat(::dirfd(directory), entry->d_name, target, sizeof target - 1);
        if (length <= 0 || std::strncmp(target, "socket:[", 8) != 0) {
            continue;
        }
        sockets.push_back({static_cast<int>(descriptor), std::strtoull(target + 8, nullptr, 10)});
    }
    ::closedir(directory);
    return sockets;
}

std::uint16_t localPort(int descriptor) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    if (address.ss_family == AF_INET) {
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    }
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    }
    return 0;
}

// The peer's address as text; an IPv4 client on an IPv6 socket counts as its IPv4 address.
std::string peerOf(int descriptor) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getpeername(descriptor, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return {};
    }
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(address).sin_addr, text,
                    sizeof text);
    } else if (address.ss_family == AF_INET6) {
        const in6_addr& ip = reinterpret_cast<const sockaddr_in6&>(address).sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&ip)) {
            ::inet_ntop(AF_INET, ip.s6_addr + 12, text, sizeof text);
        } else {
            ::inet_ntop(AF_INET6, &ip, text, sizeof text);
        }
    }
    return text;
}

bool listening(int descriptor) {
    int value = 0;
    socklen_t length = sizeof value;
    return ::getsockopt(descriptor, SOL_SOCKET, SO_ACCEPTCONN, &value, &length) == 0 && value;
}

// Connections waiting in a listener's queue: for a listening socket, Linux reports its accept
// queue's length as tcpi_unacked.
std::size_t waitingToBeAccepted(int descriptor) {
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(descriptor, IPPROTO_TCP, TCP_INFO, &info, &length) != 0) {
        return 0;
    }
    return info.tcpi_unacked;
}

} // namespace

ConnectionGuard::ConnectionGuard(std::uint16_t port, std::size_t perAddress,
                                 std::function<bool()> restart,
                                 std::function<std::uint64_t()> acceptFailures)
    : port_(port), perAddress_(perAddress), restart_(std::move(restart)),
      acceptFailures_(std::move(acceptFailures)), acceptFailuresSeen_(acceptFailures_()),
      thread_([this] { run(); }) {}

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
    std::map<std::uint64_t, int> descriptors;
    if (breaker_.watching()) {
        for (const Socket& socket : ownSockets()) {
            if (localPort(socket.descriptor) != port_ || listening(socket.descriptor)) {
                continue;
            }
            if (const auto bytes = bytesReceived(socket.descriptor)) {
                received[socket.inode] = *bytes;
                descriptors[socket.inode] = socket.descriptor;
            }
        }
    }
    const auto blamed = breaker_.look(*resident, std::move(received));
    if (!blamed) {
        return;
    }
    const int descriptor = descriptors[*blamed];
    struct stat status {};
    // Asked again: the descriptor may have gone to another socket since the list was made.
    // Shut, not closed: it stays gRPC's, which sees the end and ends the flood's calls.
    if (::fstat(descriptor, &status) != 0 || status.st_ino != *blamed ||
        ::shutdown(descriptor, SHUT_RDWR) != 0) {
        return;
    }
    // What the flood has queued already would still become calls: it is read here and dropped.
    char dropped[64 * 1024];
    while (::recv(descriptor, dropped, sizeof dropped, MSG_DONTWAIT) > 0) {
    }
    std::fprintf(stderr,
                 "kqvdr1000-control: SiLA 2 server: closed the connection of %s, which "
                 "flooded the server with calls\n",
                 peerOf(descriptor).c_str());
    std::lock_guard lock(mutex_);
    ++floodsCut_;
}

void ConnectionGuard::look() {
    std::vector<Connection> connections;
    std::size_t waiting = 0;
    for (const Socket& socket : ownSockets()) {
        if (localPort(socket.descriptor) != port_) {
            continue;
        }
        if (listening(socket.descriptor)) {
            waiting += waitingToBeAccepted(socket.descriptor);
            continue;
        }
        std::string address = peerOf(socket.descriptor);
        if (!address.empty()) {
            connections.push_back({socket.descriptor, socket.inode, std::move(address)});
        }
    }
    std::size_t closed = 0;
    for (const Connection& over : connectionsOverCap(connections, perAddress_)) {
        // Asked again at once: the descriptor may have been closed and given to another socket
        // since the list was made. Shut, not closed: it stays gRPC's, which sees the end.
        if (localPort(over.descriptor) == port_ && peerOf(over.descriptor) == over.address &&
            ::shutdown(over.descriptor, SHUT_RDWR) == 0) {
            ++closed;
        }
    }
    bool restarted = false;
    if (const std::uint64_t failures = acceptFailures_(); failures != acceptFailuresSeen_) {
        acceptFailuresSeen_ = failures;
        listener_.acceptFailed();
    }
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
