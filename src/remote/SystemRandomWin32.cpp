#include "SystemRandom.h"

#include <limits>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// bcrypt.h needs the types of windows.h before it.
#include <bcrypt.h>

namespace kqvdr {

bool systemRandomBytes(std::span<unsigned char> bytes) {
    constexpr std::size_t kMostAtOnce = std::numeric_limits<ULONG>::max();
    while (!bytes.empty()) {
        const std::size_t part = bytes.size() < kMostAtOnce ? bytes.size() : kMostAtOnce;
        if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(part),
                                              BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            return false;
        }
        bytes = bytes.subspan(part);
    }
    return true;
}

} // namespace kqvdr
