#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kqvdr::remote {

// scrypt's cost. Kept with each hash, so that it can be raised later for new passwords while
// the old ones still check.
struct ScryptCost {
    std::uint64_t n = 0; // a power of two
    std::uint32_t r = 0;
    std::uint32_t p = 0;

    bool operator==(const ScryptCost&) const = default;
};

// 32 MiB a hash; 75 ms on an idle two-core machine here, 150 to 300 ms while it is busy.
inline constexpr ScryptCost kDefaultScryptCost{1u << 15, 8, 1};

inline constexpr std::size_t kSaltBytes = 16;
inline constexpr std::size_t kHashBytes = 32;

struct PasswordHash {
    ScryptCost cost;
    std::string salt; // raw bytes
    std::string hash; // raw bytes

    bool operator==(const PasswordHash&) const = default;
};

// Whether a cost is one this program computes: N a power of two above 1, r and p at least 1,
// and the memory it takes (128 * r * N bytes) at most 1 GiB. A file with more is refused rather
// than let a login exhaust the PC.
bool usableCost(const ScryptCost& cost);

// A new salt from the system's random source and the password's hash; nothing when the random
// source or the hash fails.
std::optional<PasswordHash> hashPassword(std::string_view password,
                                         const ScryptCost& cost = kDefaultScryptCost);

// Compares in constant time, so the time taken tells nothing of how much of the hash matched.
bool passwordMatches(const PasswordHash& stored, std::string_view password);

} // namespace kqvdr::remote
