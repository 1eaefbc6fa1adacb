#pragma once

#include "ClientShares.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <list>
#include <mutex>
#include <string>
#include <thread>

namespace grpc {
class ServerContextBase;
}

namespace kqvdr::remote {

class SnapshotBoard;

// Caps the streams open at once, in all and per client, so that clients that open many and
// vanish cannot take every server thread. A stream holds a slot for as long as it runs; a
// watcher notices a cancelled stream and wakes it, so that its slot and thread come back at once
// rather than at the stream's next look: within 20 ms while the stream is young (subscribing and
// cancelling in a loop), within a second later on, since each look costs the program (a hundred
// streams looked at ten times a second took 2 % of a core).
class StreamLimit {
public:
    static constexpr std::chrono::milliseconds kYoungCheckPeriod{20};
    static constexpr std::chrono::milliseconds kOldCheckPeriod{1000};
    static constexpr std::chrono::milliseconds kYoung{2000};

    StreamLimit(std::size_t most, std::size_t share, const SnapshotBoard& board);
    ~StreamLimit();
    StreamLimit(const StreamLimit&) = delete;
    StreamLimit& operator=(const StreamLimit&) = delete;

    class Slot {
    public:
        // Counted against `client` (see clientKey), or the context's address.
        Slot(StreamLimit& limit, grpc::ServerContextBase& context, std::string client);
        Slot(StreamLimit& limit, grpc::ServerContextBase& context);
        ~Slot();
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;
        explicit operator bool() const { return taken_ == ClientShares::Take::Taken; }
        // Why no slot was given, for the client.
        std::string refusal() const;
        // Set once the client has cancelled or gone.
        const std::atomic<bool>& cancelled() const { return cancelled_; }

    private:
        friend class StreamLimit;
        StreamLimit& limit_;
        grpc::ServerContextBase& context_;
        std::string client_;
        std::chrono::steady_clock::time_point opened_ = std::chrono::steady_clock::now();
        ClientShares::Take taken_;
        std::atomic<bool> cancelled_{false};
    };

    std::size_t open() const;
    std::size_t most() const { return shares_.most(); }
    std::size_t share() const { return shares_.share(); }

private:
    void watch();

    const SnapshotBoard& board_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    ClientShares shares_;
    std::list<Slot*> slots_;
    bool stopping_ = false;
    bool fresh_ = false; // a stream opened since the watcher last looked
    std::thread watcher_;
};

} // namespace kqvdr::remote
