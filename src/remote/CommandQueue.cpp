#include "CommandQueue.h"

#include <condition_variable>

namespace kqvdr::remote {

// Shared by the caller and the queue, so that a caller that gave up leaves nothing dangling.
struct CommandQueue::Call {
    Job job;
    std::mutex mutex;
    std::condition_variable done;
    bool started = false;
    bool finished = false;
    bool abandoned = false;
    Outcome outcome;

    void finish(Outcome result) {
        {
            std::lock_guard lock(mutex);
            outcome = std::move(result);
            finished = true;
        }
        done.notify_all();
    }
};

CommandQueue::CommandQueue(std::size_t capacity, std::chrono::milliseconds timeout)
    : capacity_(capacity), timeout_(timeout) {}

Outcome CommandQueue::call(Job job) {
    auto call = std::make_shared<Call>();
    call->job = std::move(job);
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return undefinedError("The server is stopping.");
        }
        if (calls_.size() >= capacity_) {
            return undefinedError("Too many commands are waiting; try again shortly.");
        }
        calls_.push_back(call);
    }
    std::unique_lock lock(call->mutex);
    if (!call->done.wait_for(lock, timeout_, [&] { return call->finished || call->started; })) {
        // Never carried out later: the client has been told it failed.
        call->abandoned = true;
        return undefinedError("The program did not take the command in time.");
    }
    // Once taken, a command runs to its end on the program's thread, which never waits for a
    // person on a remote command's behalf.
    call->done.wait(lock, [&] { return call->finished; });
    return call->outcome;
}

void CommandQueue::drain(RemoteInstrument& instrument) {
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::lock_guard lock(mutex_);
            if (calls_.empty()) {
                return;
            }
            call = calls_.front();
            calls_.pop_front();
        }
        {
            std::lock_guard lock(call->mutex);
            if (call->abandoned) {
                continue;
            }
            call->started = true;
        }
        call->done.notify_all();
        call->finish(call->job(instrument));
    }
}

void CommandQueue::close() {
    std::deque<std::shared_ptr<Call>> left;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        left.swap(calls_);
    }
    for (const auto& call : left) {
        call->finish(undefinedError("The server is stopping."));
    }
}

std::size_t CommandQueue::pending() const {
    std::lock_guard lock(mutex_);
    return calls_.size();
}

} // namespace kqvdr::remote
