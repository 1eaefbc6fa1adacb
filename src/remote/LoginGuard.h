#pragma once

#include "SteadyClock.h"

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace kqvdr::remote {

// Against guessing: five failed logins for a name, or from an address, within five minutes lock
// that name or that address out for five minutes. Held in memory only, so a restart clears it.
// Safe from any thread.
class LoginGuard {
public:
    static constexpr int kMaxFailures = 5;
    static constexpr std::chrono::minutes kWindow{5};
    static constexpr std::chrono::minutes kLockout{5};
    // Names and addresses tracked at most; beyond, the oldest are forgotten, so a flood of made-up
    // names cannot fill the memory (the address lock still holds the flood back).
    static constexpr std::size_t kMaxTracked = 4096;

    struct Locks {
        bool name = false;
        bool address = false;
        bool any() const { return name || address; }
    };

    explicit LoginGuard(const SteadyClock& clock) : clock_(clock) {}

    // What is locked out now; a login is refused without being tried while anything is.
    Locks locked(std::string_view name, std::string_view address);
    // Counts a failed login; says what this failure locked out.
    Locks failed(std::string_view name, std::string_view address);
    // A right password clears the name's failures (not the address's).
    void succeeded(std::string_view name);

private:
    struct Record {
        std::deque<std::chrono::steady_clock::time_point> failures;
        std::chrono::steady_clock::time_point lockedUntil{};
    };
    using Table = std::unordered_map<std::string, Record>;

    bool lockedIn(Table& table, std::string_view key);
    bool countFailure(Table& table, std::string_view key);
    void forgetOld(Table& table);

    const SteadyClock& clock_;
    std::mutex mutex_;
    Table names_;
    Table addresses_;
};

} // namespace kqvdr::remote
