#include "LoginGuard.h"

namespace kqvdr::remote {

bool LoginGuard::lockedIn(Table& table, std::string_view key) {
    const auto found = table.find(std::string(key));
    return found != table.end() && clock_.now() < found->second.lockedUntil;
}

bool LoginGuard::countFailure(Table& table, std::string_view key) {
    const auto now = clock_.now();
    if (table.size() >= kMaxTracked) {
        forgetOld(table);
    }
    Record& record = table[std::string(key)];
    while (!record.failures.empty() && now - record.failures.front() > kWindow) {
        record.failures.pop_front();
    }
    record.failures.push_back(now);
    if (static_cast<int>(record.failures.size()) < kMaxFailures) {
        return false;
    }
    record.failures.clear();
    record.lockedUntil = now + kLockout;
    return true;
}

void LoginGuard::forgetOld(Table& table) {
    const auto now = clock_.now();
    std::erase_if(table, [&](const auto& entry) {
        const Record& record = entry.second;
        return now >= record.lockedUntil &&
               (record.failures.empty() || now - record.failures.back() > kWindow);
    });
    // Still full of live entries: a flood. Start over rather than grow without bound.
    if (table.size() >= kMaxTracked) {
        std::erase_if(table, [&](const auto& entry) { return now >= entry.second.lockedUntil; });
    }
}

LoginGuard::Locks LoginGuard::locked(std::string_view name, std::string_view address) {
    const std::lock_guard lock(mutex_);
    return {lockedIn(names_, name), lockedIn(addresses_, address)};
}

LoginGuard::Locks LoginGuard::failed(std::string_view name, std::string_view address) {
    const std::lock_guard lock(mutex_);
    Locks now;
    now.name = countFailure(names_, name);
    now.address = countFailure(addresses_, address);
    return now;
}

void LoginGuard::succeeded(std::string_view name) {
    const std::lock_guard lock(mutex_);
    const auto found = names_.find(std::string(name));
    if (found != names_.end()) {
        found->second.failures.clear();
    }
}

} // namespace kqvdr::remote
