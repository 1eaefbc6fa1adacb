#include "OwnSockets.h"

// SIO_TCP_INFO and TCP_INFO_v0 are declared from Windows 10 1703 on.
#ifndef NTDDI_VERSION
#define NTDDI_VERSION 0x0A000003
#endif

// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <algorithm>
#include <array>
#include <compare>
#include <map>
#include <set>

namespace kqvdr::remote {
namespace {

// Both ends of a TCP socket, IPv4 written as IPv4-mapped IPv6: how the system's table and the
// socket itself name the same connection.
struct Ends {
    std::array<unsigned char, 16> local{};
    std::uint16_t localPort = 0;
    std::array<unsigned char, 16> remote{};
    std::uint16_t remotePort = 0;
    auto operator<=>(const Ends&) const = default;
};

std::array<unsigned char, 16> mapped(const void* ipv4) {
    std::array<unsigned char, 16> bytes{};
    bytes[10] = bytes[11] = 0xff;
    std::copy_n(static_cast<const unsigned char*>(ipv4), 4, bytes.begin() + 12);
    return bytes;
}

std::array<unsigned char, 16> bytesOf(const unsigned char* ipv6) {
    std::array<unsigned char, 16> bytes{};
    std::copy_n(ipv6, 16, bytes.begin());
    return bytes;
}

// The table's ports sit in network order in the low half of a DWORD.
std::uint16_t tablePort(DWORD port) {
    return ntohs(static_cast<u_short>(port));
}

bool addressOf(const sockaddr_storage& address, std::array<unsigned char, 16>& ip,
               std::uint16_t& port) {
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        ip = mapped(&v4.sin_addr);
        port = ntohs(v4.sin_port);
        return true;
    }
    if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        ip = bytesOf(v6.sin6_addr.s6_addr);
        port = ntohs(v6.sin6_port);
        return true;
    }
    return false;
}

// The ends of a handle that is a connected or listening TCP socket.
std::optional<Ends> endsOf(SOCKET handle) {
    Ends ends;
    sockaddr_storage address{};
    int length = sizeof address;
    if (::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        !addressOf(address, ends.local, ends.localPort)) {
        return std::nullopt;
    }
    address = {};
    length = sizeof address;
    // A listener has no peer: its remote end stays zero, as in the table.
    if (::getpeername(handle, reinterpret_cast<sockaddr*>(&address), &length) == 0 &&
        !addressOf(address, ends.remote, ends.remotePort)) {
        return std::nullopt;
    }
    return ends;
}

bool isMapped(const std::array<unsigned char, 16>& ip) {
    static constexpr unsigned char kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    return std::equal(ip.begin(), ip.begin() + 12, kMappedPrefix);
}

std::string peerText(const std::array<unsigned char, 16>& ip) {
    char text[INET6_ADDRSTRLEN] = {};
    if (isMapped(ip)) {
        ::inet_ntop(AF_INET, ip.data() + 12, text, sizeof text);
    } else {
        in6_addr v6{};
        std::copy(ip.begin(), ip.end(), v6.s6_addr);
        ::inet_ntop(AF_INET6, &v6, text, sizeof text);
    }
    return text;
}

struct Row {
    Ends ends;
    bool listening = false;
    DWORD owner = 0; // 0: not named
};

// The four tables' rows, read alike.
Row rowOf(const MIB_TCPROW_OWNER_PID& entry) {
    return {{mapped(&entry.dwLocalAddr), tablePort(entry.dwLocalPort), mapped(&entry.dwRemoteAddr),
             tablePort(entry.dwRemotePort)},
            entry.dwState == MIB_TCP_STATE_LISTEN,
            entry.dwOwningPid};
}

Row rowOf(const MIB_TCP6ROW_OWNER_PID& entry) {
    return {{bytesOf(entry.ucLocalAddr), tablePort(entry.dwLocalPort), bytesOf(entry.ucRemoteAddr),
             tablePort(entry.dwRemotePort)},
            entry.dwState == MIB_TCP_STATE_LISTEN,
            entry.dwOwningPid};
}

Row rowOf(const MIB_TCPROW& entry) {
    return {{mapped(&entry.dwLocalAddr), tablePort(entry.dwLocalPort), mapped(&entry.dwRemoteAddr),
             tablePort(entry.dwRemotePort)},
            entry.dwState == MIB_TCP_STATE_LISTEN,
            0};
}

Row rowOf(const MIB_TCP6ROW& entry) {
    return {{bytesOf(entry.LocalAddr.s6_addr), tablePort(entry.dwLocalPort),
             bytesOf(entry.RemoteAddr.s6_addr), tablePort(entry.dwRemotePort)},
            entry.State == MIB_TCP_STATE_LISTEN,
            0};
}

DWORD stateOf(const MIB_TCP6ROW& entry) {
    return static_cast<DWORD>(entry.State);
}
template <typename Entry> DWORD stateOf(const Entry& entry) {
    return entry.dwState;
}

// The live rows of one table on `port`. `fetch(buffer, size)` fills the buffer as the table's
// function does.
template <typename Table, typename Fetch>
void rowsOn(std::uint16_t port, std::vector<char>& buffer, Fetch fetch, std::vector<Row>& rows) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto size = static_cast<ULONG>(buffer.size());
        const ULONG result = fetch(buffer.empty() ? nullptr : buffer.data(), &size);
        if (result == ERROR_INSUFFICIENT_BUFFER) {
            buffer.resize(size + size / 4 + 1024);
            continue;
        }
        if (result != NO_ERROR) {
            return;
        }
        const auto& table = *reinterpret_cast<const Table*>(buffer.data());
        for (DWORD i = 0; i < table.dwNumEntries; ++i) {
            const DWORD state = stateOf(table.table[i]);
            const bool alive = state == MIB_TCP_STATE_LISTEN || state == MIB_TCP_STATE_ESTAB ||
                               state == MIB_TCP_STATE_CLOSE_WAIT;
            Row row = rowOf(table.table[i]);
            if (alive && row.ends.localPort == port) {
                if (row.listening) {
                    row.ends.remote = {};
                    row.ends.remotePort = 0;
                }
                rows.push_back(row);
            }
        }
        return;
    }
}

} // namespace

// The census comes from the system's TCP table: one call, and no Winsock call on any socket.
// A socket's handle is needed only to read its counter or to shut it; Winsock has no list of a
// process's sockets, so it is found by walking the process's handle values (handles are
// multiples of four, given lowest first) and asking each that is a socket for its ends.
struct OwnSockets::Platform {
    std::vector<char> buffer;
    std::optional<bool> ownersNamed; // by the table, of the listener
    bool ipv4 = true;                // the families to ask for: those of the listener, once found
    bool ipv6 = true;
    std::uint64_t lastId = 0;
    std::map<Ends, std::uint64_t> ids;
    std::map<std::uint64_t, Ends> listed; // by id, as the last list showed them
    std::map<Ends, SOCKET> handles;
    // Walked for in vain (a connection not accepted yet): the lists before the next walk for it.
    std::map<Ends, int> notFound;
    bool counterMissing = false; // no SIO_TCP_INFO (before Windows 10 1703, and in Wine)

    std::vector<Row> rows(std::uint16_t port);
    // `walk`: when it is not known yet, walk the handles for it.
    std::optional<SOCKET> handleOf(const Ends& ends, std::uint16_t port, bool walk);
    void walkHandles(std::uint16_t port, const std::set<Ends>& wanted);
    std::optional<std::uint64_t> received(SOCKET handle);
};

std::vector<Row> OwnSockets::Platform::rows(std::uint16_t port) {
    std::vector<Row> found;
    const auto withOwners = [](ULONG family, TCP_TABLE_CLASS kind) {
        return [family, kind](void* table, ULONG* size) {
            DWORD length = *size;
            const DWORD result = ::GetExtendedTcpTable(table, &length, FALSE, family, kind, 0);
            *size = length;
            return result;
        };
    };
    if (!ownersNamed) {
        // Windows names the owner of every listener. Wine names none, and looking for the owners
        // of all rows costs it tens of times the table itself: there, the tables without owners.
        std::vector<Row> listeners;
        rowsOn<MIB_TCPTABLE_OWNER_PID>(
            port, buffer, withOwners(AF_INET, TCP_TABLE_OWNER_PID_LISTENER), listeners);
        rowsOn<MIB_TCP6TABLE_OWNER_PID>(
            port, buffer, withOwners(AF_INET6, TCP_TABLE_OWNER_PID_LISTENER), listeners);
        if (!listeners.empty()) {
            ownersNamed = listeners.front().owner != 0;
        }
    }
    if (ownersNamed.value_or(true)) {
        if (ipv4) {
            rowsOn<MIB_TCPTABLE_OWNER_PID>(port, buffer,
                                           withOwners(AF_INET, TCP_TABLE_OWNER_PID_ALL), found);
        }
        if (ipv6) {
            rowsOn<MIB_TCP6TABLE_OWNER_PID>(port, buffer,
                                            withOwners(AF_INET6, TCP_TABLE_OWNER_PID_ALL), found);
        }
    } else {
        if (ipv4) {
            rowsOn<MIB_TCPTABLE>(
                port, buffer,
                [](void* table, ULONG* size) {
                    return ::GetTcpTable(static_cast<PMIB_TCPTABLE>(table), size, FALSE);
                },
                found);
        }
        if (ipv6) {
            rowsOn<MIB_TCP6TABLE>(
                port, buffer,
                [](void* table, ULONG* size) {
                    return ::GetTcp6Table(static_cast<PMIB_TCP6TABLE>(table), size, FALSE);
                },
                found);
        }
    }
    // Where no owner is named, none but the server can hold the port while it listens there.
    const DWORD self = ::GetCurrentProcessId();
    std::erase_if(found, [&](const Row& row) { return row.owner != self && row.owner != 0; });
    // Later looks ask only the tables of the listener's families: under Wine each is costly.
    // A listener on [::] takes IPv4 clients too, which the IPv6 table shows as mapped.
    const bool anyListener =
        std::any_of(found.begin(), found.end(), [](const Row& row) { return row.listening; });
    const bool v4Listener = std::any_of(found.begin(), found.end(), [](const Row& row) {
        return row.listening && isMapped(row.ends.local);
    });
    const bool v6Listener = std::any_of(found.begin(), found.end(), [](const Row& row) {
        return row.listening && !isMapped(row.ends.local);
    });
    ipv4 = !anyListener || v4Listener;
    ipv6 = !anyListener || v6Listener;
    return found;
}

void OwnSockets::Platform::walkHandles(std::uint16_t port, const std::set<Ends>& wanted) {
    DWORD count = 0;
    if (!::GetProcessHandleCount(::GetCurrentProcess(), &count)) {
        count = 0;
    }
    // The walk ends when it has seen every handle, or after a long gap: handles close while it
    // walks, and Wine counts none. A gap costs a Windows call per value, far more under Wine.
    const std::uintptr_t gap = 4 * (count > 0 ? 16384 : 1024);
    const std::set<HANDLE> standard = {::GetStdHandle(STD_INPUT_HANDLE),
                                       ::GetStdHandle(STD_OUTPUT_HANDLE),
                                       ::GetStdHandle(STD_ERROR_HANDLE)};
    std::size_t seen = 0;
    std::size_t found = 0;
    std::uintptr_t lastHandle = 0;
    for (std::uintptr_t value = 4; found < wanted.size() && value - lastHandle <= gap; value += 4) {
        if (count > 0 && seen >= count) {
            break;
        }
        const auto handle = reinterpret_cast<HANDLE>(value);
        DWORD flags = 0;
        if (!::GetHandleInformation(handle, &flags)) {
            continue;
        }
        ++seen;
        lastHandle = value;
        // Sockets are pipes to GetFileType; asking only those keeps Winsock's calls off the
        // process's files, consoles and serial ports. The standard handles may be pipes that
        // another thread is blocked writing to, which a call would wait for.
        if (standard.count(handle) != 0 || ::GetFileType(handle) != FILE_TYPE_PIPE) {
            continue;
        }
        const auto socket = static_cast<SOCKET>(value);
        const auto ends = endsOf(socket);
        if (ends && ends->localPort == port) {
            handles[*ends] = socket;
            found += wanted.count(*ends);
        }
    }
}

std::optional<SOCKET> OwnSockets::Platform::handleOf(const Ends& ends, std::uint16_t port,
                                                     bool walk) {
    // Asked again: the handle may have gone to another socket since it was found.
    if (const auto known = handles.find(ends); known != handles.end()) {
        if (endsOf(known->second) == ends) {
            return known->second;
        }
        handles.erase(known);
    }
    if (!walk) {
        return std::nullopt;
    }
    walkHandles(port, {ends});
    if (const auto known = handles.find(ends); known != handles.end()) {
        return known->second;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> OwnSockets::Platform::received(SOCKET handle) {
    DWORD version = 0;
    TCP_INFO_v0 info{};
    DWORD length = 0;
    if (::WSAIoctl(handle, SIO_TCP_INFO, &version, sizeof version, &info, sizeof info, &length,
                   nullptr, nullptr) != 0) {
        const int error = ::WSAGetLastError();
        counterMissing = counterMissing || error == WSAEOPNOTSUPP || error == WSAEINVAL;
        return std::nullopt;
    }
    return info.BytesIn;
}

OwnSockets::OwnSockets(std::uint16_t port) : port_(port), platform_(std::make_unique<Platform>()) {}

OwnSockets::~OwnSockets() = default;

std::vector<OwnSocket> OwnSockets::list(bool withReceived) {
    // While a flood is watched, a list comes 20 times a second: a connection walked for in vain
    // is walked for again a second later.
    constexpr int kListsBetweenWalks = 20;
    Platform& p = *platform_;
    const std::vector<Row> rows = p.rows(port_);
    std::map<Ends, std::uint64_t> ids;
    for (const Row& row : rows) {
        const auto known = p.ids.find(row.ends);
        // The table tells no socket's age: a socket is as new as the look that first saw it.
        ids[row.ends] = known != p.ids.end() ? known->second : ++p.lastId;
    }
    p.ids = std::move(ids);
    std::erase_if(p.handles, [&](const auto& entry) { return p.ids.count(entry.first) == 0; });
    for (auto entry = p.notFound.begin(); entry != p.notFound.end();) {
        entry = p.ids.count(entry->first) == 0 || --entry->second <= 0 ? p.notFound.erase(entry)
                                                                       : std::next(entry);
    }
    const bool counting = withReceived && !p.counterMissing;
    std::set<Ends> unknown;
    for (const Row& row : rows) {
        if (counting && !row.listening && p.handles.count(row.ends) == 0 &&
            p.notFound.count(row.ends) == 0) {
            unknown.insert(row.ends);
        }
    }
    if (!unknown.empty()) {
        p.walkHandles(port_, unknown);
        for (const Ends& ends : unknown) {
            if (p.handles.count(ends) == 0) {
                p.notFound[ends] = kListsBetweenWalks;
            }
        }
    }
    std::vector<OwnSocket> sockets;
    p.listed.clear();
    for (const Row& row : rows) {
        OwnSocket socket;
        socket.id = p.ids[row.ends];
        socket.listening = row.listening;
        if (!row.listening) {
            socket.peer = peerText(row.ends.remote);
            if (counting) {
                if (const auto handle = p.handleOf(row.ends, port_, false)) {
                    socket.received = p.received(*handle);
                }
            }
        }
        // Windows tells no listener's queue: nothing counts as waiting.
        p.listed[socket.id] = row.ends;
        sockets.push_back(std::move(socket));
    }
    return sockets;
}

bool OwnSockets::countsReceived() const {
    return !platform_->counterMissing;
}

bool OwnSockets::cut(std::uint64_t id) {
    Platform& p = *platform_;
    const auto listed = p.listed.find(id);
    if (listed == p.listed.end() || listed->second.remotePort == 0) {
        return false;
    }
    const Ends ends = listed->second;
    const auto handle = p.handleOf(ends, port_, true);
    // Shut, not closed: it stays gRPC's. With data still queued the system resets the
    // connection and drops what it holds; Wine shuts it as Linux does, so what is queued is read
    // and dropped here.
    if (!handle || ::shutdown(*handle, SD_BOTH) != 0) {
        return false;
    }
    char dropped[16 * 1024];
    u_long queued = 0;
    while (::ioctlsocket(*handle, FIONREAD, &queued) == 0 && queued > 0 &&
           ::recv(*handle, dropped, sizeof dropped, 0) > 0) {
    }
    // gRPC waits on an overlapped read that a client holding its end open would never complete:
    // cancelled, it completes now, and gRPC ends the connection's calls.
    ::CancelIoEx(reinterpret_cast<HANDLE>(*handle), nullptr);
    p.listed.erase(listed);
    p.handles.erase(ends);
    return true;
}

} // namespace kqvdr::remote
