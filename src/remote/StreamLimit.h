#pragma once

#include <atomic>
#include <cstddef>

namespace kqvdr::remote {

// Caps the streams open at once, so that clients that open many and vanish cannot take every
// server thread. A stream holds a slot for as long as it runs.
class StreamLimit {
public:
    explicit StreamLimit(std::size_t most) : most_(most) {}

    class Slot {
    public:
        explicit Slot(StreamLimit& limit) : limit_(limit), held_(limit.take()) {}
        ~Slot() {
            if (held_) {
                limit_.open_.fetch_sub(1);
            }
        }
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;
        explicit operator bool() const { return held_; }

    private:
        StreamLimit& limit_;
        bool held_;
    };

    std::size_t open() const { return open_.load(); }
    std::size_t most() const { return most_; }

private:
    bool take() {
        std::size_t now = open_.load();
        while (now < most_) {
            if (open_.compare_exchange_weak(now, now + 1)) {
                return true;
            }
        }
        return false;
    }

    std::size_t most_;
    std::atomic<std::size_t> open_{0};
};

} // namespace kqvdr::remote
