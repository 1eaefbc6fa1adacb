#include "StreamLimit.h"

#include "ClientKey.h"
#include "SnapshotBoard.h"

#include <algorithm>
#include <grpcpp/server_context.h>

namespace kqvdr::remote {

StreamLimit::StreamLimit(std::size_t most, std::size_t share, const SnapshotBoard& board)
    : board_(board), shares_(most, share), watcher_([this] { watch(); }) {}

StreamLimit::~StreamLimit() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    watcher_.join();
}

std::size_t StreamLimit::open() const {
    std::lock_guard lock(mutex_);
    return shares_.held();
}

void StreamLimit::watch() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(mutex_);
    Clock::time_point lastFullLook{};
    while (!stopping_) {
        if (slots_.empty()) {
            // Nothing to watch costs nothing: no wake-ups while no stream is open.
            changed_.wait(lock, [this] { return stopping_ || !slots_.empty(); });
            continue;
        }
        const auto now = Clock::now();
        const bool all = now - lastFullLook >= kOldCheckPeriod;
        if (all) {
            lastFullLook = now;
        }
        bool woken = false;
        bool young = false;
        for (Slot* slot : slots_) {
            const bool isYoung = now - slot->opened_ < kYoung;
            young = young || isYoung;
            if ((all || isYoung) && !slot->cancelled_.load() && slot->context_.IsCancelled()) {
                slot->cancelled_.store(true);
                woken = true;
            }
        }
        if (woken) {
            board_.wake();
        }
        // A new stream wakes the watcher too, so that it is looked at while young.
        changed_.wait_for(lock, young ? kYoungCheckPeriod : kOldCheckPeriod,
                          [this] { return stopping_ || fresh_; });
        fresh_ = false;
    }
}

StreamLimit::Slot::Slot(StreamLimit& limit, grpc::ServerContextBase& context)
    : Slot(limit, context, clientKey(context)) {}

StreamLimit::Slot::Slot(StreamLimit& limit, grpc::ServerContextBase& context, std::string client)
    : limit_(limit), context_(context), client_(std::move(client)) {
    bool opened = false;
    {
        std::lock_guard lock(limit_.mutex_);
        taken_ = limit_.shares_.take(client_);
        if (taken_ == ClientShares::Take::Taken) {
            limit_.slots_.push_back(this);
            limit_.fresh_ = true;
            opened = true;
        }
    }
    if (opened) {
        limit_.changed_.notify_all();
    }
}

StreamLimit::Slot::~Slot() {
    if (taken_ != ClientShares::Take::Taken) {
        return;
    }
    std::lock_guard lock(limit_.mutex_);
    limit_.slots_.erase(std::find(limit_.slots_.begin(), limit_.slots_.end(), this));
    limit_.shares_.give(client_);
}

std::string StreamLimit::Slot::refusal() const {
    if (taken_ == ClientShares::Take::ShareFull) {
        return "This client has " + std::to_string(limit_.share()) +
               " streams open, as many as one client may: cancel one first.";
    }
    return "The server has " + std::to_string(limit_.most()) +
           " streams open, as many as it serves at once: try again later.";
}

} // namespace kqvdr::remote
