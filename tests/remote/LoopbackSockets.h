#pragma once

// Real TCP sockets on the loopback interface, for tests that look at the process's own sockets,
// on Linux and on Windows (under Wine).

#ifdef _WIN32
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
// clang-format on
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

namespace kqvdr::test {

class LoopbackSocket {
public:
#ifdef _WIN32
    using Handle = SOCKET;
    static constexpr Handle kNone = INVALID_SOCKET;
#else
    using Handle = int;
    static constexpr Handle kNone = -1;
#endif

    LoopbackSocket() = default;
    explicit LoopbackSocket(Handle handle) : handle_(handle) {}
    LoopbackSocket(LoopbackSocket&& other) noexcept
        : handle_(std::exchange(other.handle_, kNone)) {}
    LoopbackSocket& operator=(LoopbackSocket&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~LoopbackSocket() {
        close();
    }

    bool valid() const {
        return handle_ != kNone;
    }
    Handle handle() const {
        return handle_;
    }

    void close() {
        if (handle_ != kNone) {
#ifdef _WIN32
            ::closesocket(handle_);
#else
            ::close(handle_);
#endif
            handle_ = kNone;
        }
    }

    // A listener on `address` ("127.0.0.1", "::1", "::" for both families), on a port the
    // system chooses.
    static LoopbackSocket listenOn(const std::string& address) {
        sockaddr_storage storage{};
        int length = 0;
        if (!fill(address, 0, storage, length)) {
            return {};
        }
        LoopbackSocket socket(::socket(storage.ss_family, SOCK_STREAM, IPPROTO_TCP));
        if (storage.ss_family == AF_INET6) {
            int v6only = 0;
            ::setsockopt(socket.handle_, IPPROTO_IPV6, IPV6_V6ONLY,
                         reinterpret_cast<const char*>(&v6only), sizeof v6only);
        }
        if (!socket.valid() ||
            ::bind(socket.handle_, reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
            ::listen(socket.handle_, 16) != 0) {
            return {};
        }
        return socket;
    }

    static LoopbackSocket connectTo(const std::string& address, std::uint16_t port) {
        sockaddr_storage storage{};
        int length = 0;
        if (!fill(address, port, storage, length)) {
            return {};
        }
        LoopbackSocket socket(::socket(storage.ss_family, SOCK_STREAM, IPPROTO_TCP));
        if (!socket.valid() ||
            ::connect(socket.handle_, reinterpret_cast<sockaddr*>(&storage), length) != 0) {
            return {};
        }
        return socket;
    }

    LoopbackSocket accept() const {
        return LoopbackSocket(::accept(handle_, nullptr, nullptr));
    }

    std::uint16_t port() const {
        sockaddr_storage storage{};
        socklen_t length = sizeof storage;
        if (::getsockname(handle_, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
            return 0;
        }
        return storage.ss_family == AF_INET
                   ? ntohs(reinterpret_cast<const sockaddr_in&>(storage).sin_port)
                   : ntohs(reinterpret_cast<const sockaddr_in6&>(storage).sin6_port);
    }

    bool send(std::size_t bytes) const {
        std::string data(bytes, 'x');
        std::size_t sent = 0;
        while (sent < bytes) {
            const auto n = ::send(handle_, data.data() + sent, static_cast<int>(bytes - sent), 0);
            if (n <= 0) {
                return false;
            }
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    // Whether the connection ends (its peer shut or reset it) within `wait`, reading and
    // dropping whatever comes first.
    bool endsWithin(std::chrono::milliseconds wait) const {
        const auto until = std::chrono::steady_clock::now() + wait;
        char buffer[4096];
        while (std::chrono::steady_clock::now() < until) {
            if (!readable(std::chrono::milliseconds(50))) {
                continue;
            }
            if (::recv(handle_, buffer, sizeof buffer, 0) <= 0) {
                return true;
            }
        }
        return false;
    }

private:
    bool readable(std::chrono::milliseconds wait) const {
#ifdef _WIN32
        WSAPOLLFD entry{handle_, POLLRDNORM, 0};
        return ::WSAPoll(&entry, 1, static_cast<INT>(wait.count())) > 0;
#else
        pollfd entry{handle_, POLLIN, 0};
        return ::poll(&entry, 1, static_cast<int>(wait.count())) > 0;
#endif
    }

    static bool fill(const std::string& address, std::uint16_t port, sockaddr_storage& storage,
                     int& length) {
        auto& v4 = reinterpret_cast<sockaddr_in&>(storage);
        auto& v6 = reinterpret_cast<sockaddr_in6&>(storage);
        if (::inet_pton(AF_INET, address.c_str(), &v4.sin_addr) == 1) {
            v4.sin_family = AF_INET;
            v4.sin_port = htons(port);
            length = sizeof v4;
            return true;
        }
        if (::inet_pton(AF_INET6, address.c_str(), &v6.sin6_addr) == 1) {
            v6.sin6_family = AF_INET6;
            v6.sin6_port = htons(port);
            length = sizeof v6;
            return true;
        }
        return false;
    }

    Handle handle_ = kNone;
};

} // namespace kqvdr::test
