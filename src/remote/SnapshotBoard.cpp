#include "SnapshotBoard.h"

namespace kqvdr::remote {

void SnapshotBoard::publish(const LiveValues& values) {
    {
        std::lock_guard lock(mutex_);
        if (snapshot_.version > 0 && snapshot_.values == values) {
            return;
        }
        snapshot_.values = values;
        ++snapshot_.version;
    }
    changed_.notify_all();
}

void SnapshotBoard::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

SnapshotBoard::Snapshot SnapshotBoard::current() const {
    std::lock_guard lock(mutex_);
    return snapshot_;
}

void SnapshotBoard::wake() const {
    // Taken and let go, so that a reader between its look at `stop` and its wait cannot miss this.
    { std::lock_guard lock(mutex_); }
    changed_.notify_all();
}

bool SnapshotBoard::closed() const {
    std::lock_guard lock(mutex_);
    return closed_;
}

std::optional<SnapshotBoard::Snapshot>
SnapshotBoard::waitNewer(std::uint64_t version, std::chrono::steady_clock::time_point deadline,
                         const std::atomic<bool>* stop) const {
    std::unique_lock lock(mutex_);
    const auto stopped = [stop] { return stop != nullptr && stop->load(); };
    if (!changed_.wait_until(lock, deadline,
                             [&] { return closed_ || stopped() || snapshot_.version > version; }) ||
        closed_ || stopped()) {
        return std::nullopt;
    }
    return snapshot_;
}

} // namespace kqvdr::remote
