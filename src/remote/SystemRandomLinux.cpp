#include "SystemRandom.h"

#include <cerrno>
#include <sys/random.h>

namespace kqvdr {

bool systemRandomBytes(std::span<unsigned char> bytes) {
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        // Large requests may come back short, and a signal may end one early.
        const ssize_t got = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace kqvdr
