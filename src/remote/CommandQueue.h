#pragma once

#include "RemoteInstrument.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace kqvdr::remote {

// Carries remote calls from the server's threads into the tick, one at a time, and their
// outcome back. A call that the tick does not take in time (the program hangs in a window, the
// queue is full, the server stops) fails instead of blocking its thread for ever.
class CommandQueue {
public:
    using Job = std::function<Outcome(RemoteInstrument&)>;

    static constexpr std::size_t kDefaultCapacity = 32;
    static constexpr std::chrono::milliseconds kDefaultTimeout{10000};

    explicit CommandQueue(std::size_t capacity = kDefaultCapacity,
                          std::chrono::milliseconds timeout = kDefaultTimeout);

    // From any thread: runs `job` at the next tick and returns what it returned.
    Outcome call(Job job);

    // On the program's thread, at every tick, nested ticks included: a job may open a window
    // whose own ticks drain the queue further.
    void drain(RemoteInstrument& instrument);
    // No more jobs are taken; waiting callers fail at once.
    void close();

    std::size_t pending() const;

private:
    struct Call;
    mutable std::mutex mutex_;
    std::deque<std::shared_ptr<Call>> calls_;
    std::size_t capacity_;
    std::chrono::milliseconds timeout_;
    bool closed_ = false;
};

} // namespace kqvdr::remote
