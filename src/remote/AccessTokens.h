#pragma once

#include "Role.h"
#include "SteadyClock.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kqvdr::remote {

// Who a token was given to.
struct Session {
    std::string user;
    Role role = Role::Observer;
    std::string address;
    // Fully qualified feature identifiers the token is for; empty for every feature.
    std::vector<std::string> features;
    std::chrono::steady_clock::time_point lastUse{};
};

// The access tokens given out by logins: random, held in memory only (a restart ends every
// session), each valid for an hour after its last use. Only a digest of each token is kept, so
// the table itself holds nothing a client could present. Safe from any thread.
class AccessTokens {
public:
    static constexpr std::chrono::seconds kLifetime{3600};
    // Beyond this many sessions the one unused longest ends, so logins cannot fill the memory.
    static constexpr std::size_t kMaxSessions = 1000;

    explicit AccessTokens(const SteadyClock& clock) : clock_(clock) {}

    // A new token of 256 random bits in hexadecimal; nothing when the random source fails.
    std::optional<std::string> issue(Session session);
    // The token's session, its lifetime renewed; nothing when it is unknown or has expired.
    std::optional<Session> use(std::string_view token);
    // Ends the session; nothing when the token is unknown or has expired.
    std::optional<Session> end(std::string_view token);
    // The sessions alive now, for the panel.
    std::vector<Session> sessions() const;

private:
    using Table = std::unordered_map<std::string, Session>;
    bool expired(const Session& session) const;
    void pruneLocked();

    const SteadyClock& clock_;
    mutable std::mutex mutex_;
    Table sessions_;
};

} // namespace kqvdr::remote
