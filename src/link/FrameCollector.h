#pragma once

#include "Frame.h"

#include <array>
#include <optional>
#include <string_view>

namespace kqvdr {

// Cuts reply frames out of a byte stream: STX starts (or restarts) collection, ETX ends a frame
// of 7 to 270 characters, a shorter or longer one is dropped whole. Bytes outside a frame are
// ignored. Never holds more than 270 characters.
class FrameCollector {
public:
    // Command frames without data are one character shorter than the shortest reply, so the
    // instrument's side collects from a smaller minimum.
    explicit FrameCollector(std::size_t minimumBody = kMinFrameBody) : minimumBody_(minimumBody) {}

    // Returns the characters between STX and ETX when this byte completes a frame. The view
    // stays valid until the next call.
    std::optional<std::string_view> feed(unsigned char byte);

    bool collecting() const { return collecting_; }
    // Characters of the frame being collected, STX not counted.
    std::size_t held() const { return length_; }
    // Forgets the frame being collected.
    void drop() {
        collecting_ = false;
        length_ = 0;
    }

private:
    std::array<char, kMaxFrameBody> buffer_{};
    std::size_t minimumBody_;
    std::size_t length_ = 0;
    bool collecting_ = false;
};

} // namespace kqvdr
