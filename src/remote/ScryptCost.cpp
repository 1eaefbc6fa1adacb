#include "PasswordHash.h"

// The cost check without the hash: the users file is read where OpenSSL is not linked.
namespace kqvdr::remote {
namespace {

constexpr std::uint64_t kMaxMemoryBytes = 1ull << 30;

} // namespace

bool usableCost(const ScryptCost& cost) {
    if (cost.n < 2 || (cost.n & (cost.n - 1)) != 0 || cost.r == 0 || cost.p == 0) {
        return false;
    }
    if (cost.r > kMaxMemoryBytes / 128 || cost.n > kMaxMemoryBytes / (128ull * cost.r)) {
        return false;
    }
    return cost.p <= 16;
}

} // namespace kqvdr::remote
