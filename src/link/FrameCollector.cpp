#include "FrameCollector.h"

namespace kqvdr {

std::optional<std::string_view> FrameCollector::feed(unsigned char byte) {
    if (byte == static_cast<unsigned char>(kStx)) {
        collecting_ = true;
        length_ = 0;
        return std::nullopt;
    }
    if (!collecting_) {
        return std::nullopt;
    }
    if (byte == static_cast<unsigned char>(kEtx)) {
        const std::size_t length = length_;
        drop();
        if (length < minimumBody_) {
            return std::nullopt;
        }
        return std::string_view(buffer_.data(), length);
    }
    if (length_ == buffer_.size()) {
        drop();
        return std::nullopt;
    }
    buffer_[length_++] = static_cast<char>(byte);
    return std::nullopt;
}

} // namespace kqvdr
