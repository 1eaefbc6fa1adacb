#pragma once

#include "PortWaiter.h"
#include "SerialDriver.h"

#include <array>
#include <chrono>
#include <cstddef>

namespace kqvdr {

// The receive side the platform drivers share: the port is read in blocks, and the bytes are
// handed out one at a time, so that the poll's byte-by-byte reads cost no system call each.
class BufferedSerialDriver : public SerialDriver, public PortWaiter {
public:
    std::int32_t ReadByte(std::int32_t channel) final;
    std::int32_t IsReceiveEmpty(std::int32_t channel) final;

protected:
    // Reads whatever the port holds into the buffer, waiting up to `wait` for a first byte.
    virtual void fillBuffer(std::chrono::milliseconds wait) = 0;

    bool bufferEmpty() const { return head_ == tail_; }
    // Empties the buffer and gives its room to read into; then call filled() with the count.
    unsigned char* startFill() {
        head_ = tail_ = 0;
        return buffer_.data();
    }
    static constexpr std::size_t bufferSize() { return kBufferSize; }
    void filled(std::size_t count) { tail_ = count; }
    void clearBuffer() { head_ = tail_ = 0; }

private:
    static constexpr std::size_t kBufferSize = 1024;
    std::array<unsigned char, kBufferSize> buffer_{};
    std::size_t head_ = 0;
    std::size_t tail_ = 0;
};

} // namespace kqvdr
