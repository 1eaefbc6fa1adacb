#include "OwnSockets.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
// The kernel's own tcp_info: the C library's lacks the byte counters.
#include <linux/tcp.h>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kqvdr::remote {
namespace {

struct Descriptor {
    int descriptor;
    std::uint64_t inode;
};

// Every socket the process holds, from /proc/self/fd. Nothing when no descriptor is left to
// read the directory with: the next look tries again.
std::vector<Descriptor> socketDescriptors() {
    std::vector<Descriptor> sockets;
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
        const ssize_t length = ::readlinkat(own, entry->d_name, target, sizeof target - 1);
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

std::optional<tcp_info> tcpInfo(int descriptor, std::size_t least) {
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(descriptor, IPPROTO_TCP, TCP_INFO, &info, &length) != 0 || length < least) {
        return std::nullopt;
    }
    return info;
}

} // namespace

struct OwnSockets::Platform {
    std::map<std::uint64_t, int> descriptors; // of the last list, by inode
};

OwnSockets::OwnSockets(std::uint16_t port) : port_(port), platform_(std::make_unique<Platform>()) {}

OwnSockets::~OwnSockets() = default;

std::vector<OwnSocket> OwnSockets::list(bool withReceived) {
    std::vector<OwnSocket> sockets;
    platform_->descriptors.clear();
    for (const Descriptor& found : socketDescriptors()) {
        if (localPort(found.descriptor) != port_) {
            continue;
        }
        OwnSocket socket;
        socket.id = found.inode; // inodes grow with every new socket
        if (listening(found.descriptor)) {
            socket.listening = true;
            // For a listening socket, Linux reports its accept queue's length as tcpi_unacked.
            const auto info = tcpInfo(found.descriptor, offsetof(tcp_info, tcpi_unacked) +
                                                            sizeof(tcp_info::tcpi_unacked));
            socket.waiting = info ? info->tcpi_unacked : 0;
        } else {
            socket.peer = peerOf(found.descriptor);
            if (socket.peer.empty()) {
                continue;
            }
            if (withReceived) {
                if (const auto info =
                        tcpInfo(found.descriptor, offsetof(tcp_info, tcpi_bytes_received) +
                                                      sizeof(tcp_info::tcpi_bytes_received))) {
                    socket.received = info->tcpi_bytes_received;
                }
            }
        }
        platform_->descriptors[socket.id] = found.descriptor;
        sockets.push_back(std::move(socket));
    }
    return sockets;
}

bool OwnSockets::countsReceived() const {
    return true;
}

bool OwnSockets::cut(std::uint64_t id) {
    const auto found = platform_->descriptors.find(id);
    if (found == platform_->descriptors.end()) {
        return false;
    }
    const int descriptor = found->second;
    struct stat status {};
    // Asked again: the descriptor may have gone to another socket since the list was made.
    // Shut, not closed: it stays gRPC's, which sees the end and ends the connection's calls.
    if (::fstat(descriptor, &status) != 0 || status.st_ino != id || listening(descriptor) ||
        ::shutdown(descriptor, SHUT_RDWR) != 0) {
        return false;
    }
    // What the client has queued already would still become calls: it is read here and dropped.
    char dropped[64 * 1024];
    while (::recv(descriptor, dropped, sizeof dropped, MSG_DONTWAIT) > 0) {
    }
    platform_->descriptors.erase(found);
    return true;
}

} // namespace kqvdr::remote
