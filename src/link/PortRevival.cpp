#include "PortRevival.h"

namespace kqvdr {

void PortRevival::lost() {
    failures_ = 0;
    nextAttempt_ = clock_.now() + kRetryInterval;
}

bool PortRevival::attemptDue() {
    const auto now = clock_.now();
    if (now < nextAttempt_) {
        return false;
    }
    nextAttempt_ = now + kRetryInterval;
    return true;
}

} // namespace kqvdr
