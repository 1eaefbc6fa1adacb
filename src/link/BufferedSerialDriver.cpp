#include "BufferedSerialDriver.h"

namespace kqvdr {

std::int32_t BufferedSerialDriver::ReadByte(std::int32_t channel) {
    if (channel != kChannel) {
        return -1;
    }
    if (bufferEmpty()) {
        fillBuffer(std::chrono::milliseconds(0));
    }
    if (bufferEmpty()) {
        return -1;
    }
    return buffer_[head_++];
}

std::int32_t BufferedSerialDriver::IsReceiveEmpty(std::int32_t channel) {
    if (channel != kChannel) {
        return 1;
    }
    if (bufferEmpty()) {
        fillBuffer(std::chrono::milliseconds(0));
    }
    return bufferEmpty() ? 1 : 0;
}

} // namespace kqvdr
