#pragma once

#include <filesystem>
#include <string>

namespace kqvdr {

struct ServerIdentity {
    std::string uuid;
    std::string name;

    bool operator==(const ServerIdentity&) const = default;
};

inline constexpr const char* kServerIdentityFile = "sila-server.txt";

// The server's UUID, kept across starts, and its name, settable and kept, in the data
// directory. Clients know a server by its UUID, so a file that is there but cannot be read or
// is damaged is never replaced by a new identity: the server does not start until someone
// repairs or removes it. Used from one thread.
class ServerIdentityStore {
public:
    explicit ServerIdentityStore(std::filesystem::path dataDirectory);

    // The kept identity; on first use a new random UUID and the default name, stored at once.
    // Returns an empty identity (empty uuid) when the file cannot be read, is damaged or
    // cannot be created; error() then says why, in a sentence for the person at the panel.
    ServerIdentity loadOrCreate();
    const std::string& error() const { return error_; }

    // false + error text when the name breaks SiLAService's rules (1..255 chars) or cannot be
    // stored; the name in use stays as it was then.
    bool setName(const std::string& name, std::string& error);

    std::filesystem::path file() const;

private:
    std::filesystem::path dataDirectory_;
    ServerIdentity identity_;
    std::string error_;
};

} // namespace kqvdr
