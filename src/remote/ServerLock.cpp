#include "ServerLock.h"

namespace kqvdr::remote {

ServerLock::ServerLock(const SteadyClock& clock, AuditReport audit)
    : clock_(clock), audit_(std::move(audit)) {}

void ServerLock::report(const std::string& who, AuditEventKind kind, std::string subject,
                        std::string value) {
    if (audit_) {
        audit_(who, AuditEvent{kind, std::move(subject), "", std::move(value)});
    }
}

void ServerLock::changedLocked() {
    ++version_;
    changed_.notify_all();
}

void ServerLock::expireLocked() {
    if (!held_ || held_->timeout.count() == 0 || clock_.now() - held_->lastUse < held_->timeout) {
        return;
    }
    report(held_->holder, AuditEventKind::RemoteUnlocked, held_->holder,
           "timed out after " + std::to_string(held_->timeout.count()) + " s without a call");
    held_.reset();
    changedLocked();
}

ServerLock::Answer ServerLock::lock(const std::string& identifier, std::chrono::seconds timeout,
                                    const std::string& holder) {
    const std::lock_guard guard(mutex_);
    expireLocked();
    if (held_) {
        return Answer::AlreadyLocked;
    }
    held_ = Held{identifier, holder, timeout, clock_.now()};
    report(holder, AuditEventKind::RemoteLocked, holder,
           timeout.count() == 0 ? "no timeout"
                                : "timeout " + std::to_string(timeout.count()) + " s");
    changedLocked();
    return Answer::Done;
}

ServerLock::Answer ServerLock::unlock(const std::string& identifier, const std::string& who) {
    const std::lock_guard guard(mutex_);
    expireLocked();
    if (!held_) {
        return Answer::NotLocked;
    }
    if (held_->identifier != identifier) {
        return Answer::WrongIdentifier;
    }
    report(who, AuditEventKind::RemoteUnlocked, held_->holder, "unlocked by the client");
    held_.reset();
    changedLocked();
    return Answer::Done;
}

ServerLock::Answer ServerLock::admit(std::optional<std::string_view> identifier,
                                     std::string_view call, const std::string& who) {
    const std::lock_guard guard(mutex_);
    expireLocked();
    Answer answer = Answer::Done;
    if (!identifier) {
        answer = held_ ? Answer::IdentifierMissing : Answer::Done;
    } else if (!held_ || held_->identifier != *identifier) {
        // An identifier from an ended lock too: its client must learn the lock is gone.
        answer = Answer::WrongIdentifier;
    } else {
        held_->lastUse = clock_.now();
    }
    if (answer == Answer::Done) {
        return answer;
    }
    const auto now = clock_.now();
    if (now - refusalMinute_ >= std::chrono::minutes(1)) {
        refusalMinute_ = now;
        refusalsThisMinute_ = 0;
    }
    if (++refusalsThisMinute_ > kRefusalsAudited) {
        ++refusalsUnwritten_;
        return answer;
    }
    std::string why = answer == Answer::IdentifierMissing
                          ? "locked by " + held_->holder + ", no lock identifier sent"
                          : (held_ ? "wrong lock identifier" : "lock identifier of an ended lock");
    if (refusalsUnwritten_ > 0) {
        why += " (" + std::to_string(refusalsUnwritten_) + " more refused calls not written)";
        refusalsUnwritten_ = 0;
    }
    report(who, AuditEventKind::RemoteLockRefused, std::string(call), why);
    return answer;
}

std::optional<std::string> ServerLock::release() {
    const std::lock_guard guard(mutex_);
    expireLocked();
    if (!held_) {
        return std::nullopt;
    }
    std::string holder = std::move(held_->holder);
    held_.reset();
    changedLocked();
    return holder;
}

bool ServerLock::locked() const {
    return holder().has_value();
}

std::optional<std::string> ServerLock::holder() const {
    const std::lock_guard guard(mutex_);
    if (!held_ ||
        (held_->timeout.count() != 0 && clock_.now() - held_->lastUse >= held_->timeout)) {
        return std::nullopt;
    }
    return held_->holder;
}

void ServerLock::expire() {
    const std::lock_guard guard(mutex_);
    expireLocked();
}

std::uint64_t ServerLock::version() const {
    const std::lock_guard guard(mutex_);
    return version_;
}

void ServerLock::waitChange(std::uint64_t version,
                            std::chrono::steady_clock::time_point deadline) const {
    std::unique_lock guard(mutex_);
    changed_.wait_until(guard, deadline, [&] { return version_ != version; });
}

void ServerLock::wake() const {
    { const std::lock_guard guard(mutex_); }
    changed_.notify_all();
}

} // namespace kqvdr::remote
