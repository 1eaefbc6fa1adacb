#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace kqvdr {

inline constexpr char kStx = 0x02;
inline constexpr char kEtx = 0x03;

// Characters between STX and ETX that a reply may hold: address, code, checksum and data.
inline constexpr std::size_t kMinFrameBody = 7;
inline constexpr std::size_t kMaxFrameBody = 270;
inline constexpr std::size_t kMinCommandFrameBody = 6;
inline constexpr std::size_t kMaxReplyWords = (kMaxFrameBody - 6) / 4;

// Bytes of a frame with this many data digits, STX and ETX included.
constexpr std::size_t frameLength(int sendDigits) {
    return static_cast<std::size_t>(sendDigits) + 8;
}

// The longest frame the program sends (a method download), with its terminating NUL.
inline constexpr std::size_t kCommandBufferSize = frameLength(28) + 1;

// Writes STX, address, code, sendDigits data digits, checksum and ETX into `out`, followed by a
// NUL, and returns the frame length without the NUL. Words missing from `data` are sent as 0.
// Returns 0, writing nothing, when `out` is too small or sendDigits is negative or odd.
std::size_t BuildFrame(int address, int commandCode, std::span<const std::int16_t> data,
                       int sendDigits, std::span<char> out);

enum ReceiveResult : int {
    kReceivedData = 0,
    kReceivedAcknowledgement = 1,
    kReceiveFailed = -1,
    // No whole frame has arrived yet; what has is kept for the next call.
    kReceivePending = 2,
};

struct ReplyFrame {
    int address = 0;
    int commandCode = 0;
    int wordCount = 0;
    std::array<std::int16_t, kMaxReplyWords> words{};
};

// Decodes the characters between STX and ETX. Returns kReceivedData, kReceivedAcknowledgement
// (its character as the single word) or kReceiveFailed; `reply` is only written on success.
int DecodeFrame(std::string_view body, ReplyFrame& reply);

} // namespace kqvdr
