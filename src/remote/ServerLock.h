#pragma once

#include "AuditSink.h"
#include "SteadyClock.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace kqvdr::remote {

// The server's lock for one client's exclusive use. A lock with a timeout ends when no call
// with its identifier came for that long; every such call starts the time again. Safe from any
// thread; what happens to it is told to the audit callback, from whichever thread it happens on.
class ServerLock {
public:
    using AuditReport = std::function<void(const std::string& who, const AuditEvent& event)>;

    enum class Answer { Done, AlreadyLocked, NotLocked, WrongIdentifier, IdentifierMissing };

    // Refused calls beyond this many a minute are counted into the next line, not each written:
    // a client that keeps calling cannot fill the audit trail.
    static constexpr int kRefusalsAudited = 10;

    ServerLock(const SteadyClock& clock, AuditReport audit);

    // LockServer; a timeout of zero never ends.
    Answer lock(const std::string& identifier, std::chrono::seconds timeout,
                const std::string& holder);
    // UnlockServer.
    Answer unlock(const std::string& identifier, const std::string& who);
    // A lock-protected call, with the identifier it sent or none; a right one renews the lock.
    Answer admit(std::optional<std::string_view> identifier, std::string_view call,
                 const std::string& who);
    // A person at the panel ends the lock; the holder's name when there was one.
    std::optional<std::string> release();

    bool locked() const;
    // Who holds the lock, as the lock was taken; nothing when unlocked.
    std::optional<std::string> holder() const;

    // Notices a timeout that no call has noticed yet, so it is recorded when it happens.
    void expire();

    // For IsLocked's subscribers: counts every change, and waits for the next one (or a
    // timeout, whose moment only the clock knows) until the deadline or `stop`.
    std::uint64_t version() const;
    void waitChange(std::uint64_t version, std::chrono::steady_clock::time_point deadline) const;
    // Wakes every waiter, for the server's end.
    void wake() const;

private:
    struct Held {
        std::string identifier;
        std::string holder;
        std::chrono::seconds timeout{};
        std::chrono::steady_clock::time_point lastUse{};
    };
    // Ends a lock whose time is up; with the mutex held.
    void expireLocked();
    void changedLocked();
    void report(const std::string& who, AuditEventKind kind, std::string subject,
                std::string value);

    const SteadyClock& clock_;
    AuditReport audit_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::optional<Held> held_;
    std::uint64_t version_ = 0;
    std::chrono::steady_clock::time_point refusalMinute_{};
    int refusalsThisMinute_ = 0;
    int refusalsUnwritten_ = 0;
};

} // namespace kqvdr::remote
