#include "AccessTokens.h"

#include "Sha256.h"
#include "SystemRandom.h"

#include <algorithm>

namespace kqvdr::remote {
namespace {

constexpr std::size_t kTokenBytes = 32;

std::string digestOf(std::string_view token) {
    const auto digest = Sha256::of(token);
    return std::string(digest.begin(), digest.end());
}

std::string hex(const unsigned char* bytes, std::size_t size) {
    static const char* const digits = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xf];
    }
    return text;
}

} // namespace

bool AccessTokens::expired(const Session& session) const {
    return clock_.now() - session.lastUse > kLifetime;
}

void AccessTokens::pruneLocked() {
    std::erase_if(sessions_, [this](const auto& entry) { return expired(entry.second); });
    while (sessions_.size() >= kMaxSessions) {
        const auto oldest =
            std::min_element(sessions_.begin(), sessions_.end(), [](const auto& a, const auto& b) {
                return a.second.lastUse < b.second.lastUse;
            });
        sessions_.erase(oldest);
    }
}

std::optional<std::string> AccessTokens::issue(Session session) {
    unsigned char bytes[kTokenBytes];
    if (!systemRandomBytes(bytes)) {
        return std::nullopt;
    }
    std::string token = hex(bytes, sizeof bytes);
    session.lastUse = clock_.now();
    const std::lock_guard lock(mutex_);
    pruneLocked();
    sessions_.insert_or_assign(digestOf(token), std::move(session));
    return token;
}

std::optional<Session> AccessTokens::use(std::string_view token) {
    const std::string digest = digestOf(token);
    const std::lock_guard lock(mutex_);
    const auto found = sessions_.find(digest);
    if (found == sessions_.end()) {
        return std::nullopt;
    }
    if (expired(found->second)) {
        sessions_.erase(found);
        return std::nullopt;
    }
    found->second.lastUse = clock_.now();
    return found->second;
}

std::optional<Session> AccessTokens::end(std::string_view token) {
    const std::string digest = digestOf(token);
    const std::lock_guard lock(mutex_);
    const auto found = sessions_.find(digest);
    if (found == sessions_.end()) {
        return std::nullopt;
    }
    Session session = std::move(found->second);
    sessions_.erase(found);
    if (expired(session)) {
        return std::nullopt;
    }
    return session;
}

std::vector<Session> AccessTokens::sessions() const {
    const std::lock_guard lock(mutex_);
    std::vector<Session> alive;
    for (const auto& [digest, session] : sessions_) {
        if (!expired(session)) {
            alive.push_back(session);
        }
    }
    return alive;
}

} // namespace kqvdr::remote
