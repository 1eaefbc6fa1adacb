#pragma once

#include "LiveValues.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kqvdr::remote {

// The live values as the last tick left them, for the server's threads. The tick publishes;
// subscriptions wait for a newer version. Nothing here ever waits on a subscriber, so a slow or
// vanished client cannot hold the tick up.
class SnapshotBoard {
public:
    struct Snapshot {
        std::uint64_t version = 0;
        LiveValues values;
    };

    // On the program's thread, at the end of every tick; a change wakes the waiting readers.
    void publish(const LiveValues& values);
    // Wakes every reader for good: the server is stopping.
    void close();

    Snapshot current() const;
    // The first snapshot newer than `version`, or nothing when the deadline passed first, the
    // board was closed or `stop` was set (and the board woken).
    std::optional<Snapshot> waitNewer(std::uint64_t version,
                                      std::chrono::steady_clock::time_point deadline,
                                      const std::atomic<bool>* stop = nullptr) const;
    // Wakes every reader to look at its `stop`.
    void wake() const;
    bool closed() const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Snapshot snapshot_;
    bool closed_ = false;
};

} // namespace kqvdr::remote
