#include "OwnCounters.h"

// The kernel's own tcp_info: the C library's lacks the byte counters.
#include <cstddef>
#include <cstdio>
#include <linux/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kqvdr::remote {
namespace {

// IPPROTO_TCP, whose header clashes with the kernel's tcp.h.
constexpr int kTcpLevel = 6;

} // namespace

std::optional<std::size_t> residentBytes() {
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr) {
        return std::nullopt;
    }
    unsigned long size = 0;
    unsigned long resident = 0;
    const int read = std::fscanf(file, "%lu %lu", &size, &resident);
    std::fclose(file);
    const long page = ::sysconf(_SC_PAGESIZE);
    if (read != 2 || page <= 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(page);
}

std::optional<std::uint64_t> bytesReceived(int descriptor) {
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(descriptor, kTcpLevel, TCP_INFO, &info, &length) != 0 ||
        length < offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received) {
        return std::nullopt;
    }
    return info.tcpi_bytes_received;
}

} // namespace kqvdr::remote
