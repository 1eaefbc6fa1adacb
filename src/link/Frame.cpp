#include "Frame.h"

#include "CommandTable.h"

namespace kqvdr {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Upper-case hexadecimal only; anything else is -1.
constexpr int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

class FrameWriter {
public:
    explicit FrameWriter(std::span<char> out) : out_(out) {}

    void put(char c) {
        out_[length_++] = c;
        if (length_ > 1) {
            sum_ += static_cast<unsigned char>(c);
        }
    }
    void putByte(unsigned value) {
        put(kHexDigits[(value >> 4) & 0xF]);
        put(kHexDigits[value & 0xF]);
    }
    unsigned checksum() const { return sum_ & 0xFF; }
    std::size_t length() const { return length_; }

private:
    std::span<char> out_;
    std::size_t length_ = 0;
    unsigned sum_ = 0;
};

// Reads `count` hexadecimal digits as one number, or -1 when any is not a digit.
int hexNumber(std::string_view digits) {
    int value = 0;
    for (const char c : digits) {
        const int digit = hexValue(c);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

// Groups of four digits are words; a shorter remainder forms one more word.
bool decodeWords(std::string_view data, ReplyFrame& reply) {
    reply.wordCount = 0;
    for (std::size_t pos = 0; pos < data.size(); pos += 4) {
        const int value = hexNumber(data.substr(pos, 4));
        if (value < 0) {
            return false;
        }
        reply.words[static_cast<std::size_t>(reply.wordCount++)] =
            static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    }
    return true;
}

} // namespace

std::size_t BuildFrame(int address, int commandCode, std::span<const std::int16_t> data,
                       int sendDigits, std::span<char> out) {
    if (sendDigits < 0 || sendDigits % 2 != 0 || out.size() < frameLength(sendDigits) + 1) {
        return 0;
    }
    FrameWriter frame(out);
    frame.put(kStx);
    frame.putByte(static_cast<unsigned>(address) & 0xFF);
    frame.putByte(static_cast<unsigned>(commandCode) & 0xFF);
    int bytesLeft = sendDigits / 2;
    for (std::size_t i = 0; bytesLeft > 0; ++i) {
        const auto word = static_cast<std::uint16_t>(i < data.size() ? data[i] : 0);
        if (bytesLeft >= 2) {
            frame.putByte(word >> 8);
            bytesLeft -= 2;
        } else {
            bytesLeft -= 1;
        }
        frame.putByte(word & 0xFF);
    }
    frame.putByte(frame.checksum());
    frame.put(kEtx);
    const std::size_t length = frame.length();
    out[length] = '\0';
    return length;
}

int DecodeFrame(std::string_view body, ReplyFrame& reply) {
    if (body.size() < kMinFrameBody || body.size() > kMaxFrameBody) {
        return kReceiveFailed;
    }
    const int address = hexNumber(body.substr(0, 2));
    const int commandCode = hexNumber(body.substr(2, 2));
    const auto data = body.substr(4, body.size() - 6);
    const int received = hexNumber(body.substr(body.size() - 2));
    if (address < 0 || commandCode < 0 || received < 0) {
        return kReceiveFailed;
    }
    unsigned sum = 0;
    for (const char c : body.substr(0, body.size() - 2)) {
        sum += static_cast<unsigned char>(c);
    }
    if (static_cast<int>(sum & 0xFF) != received) {
        return kReceiveFailed;
    }

    if (data.size() == 1) {
        // An acknowledgement's character is passed on as it is, not read as a digit.
        reply.address = address;
        reply.commandCode = commandCode;
        reply.wordCount = 1;
        reply.words[0] = static_cast<std::int16_t>(static_cast<unsigned char>(data[0]));
        return kReceivedAcknowledgement;
    }
    const auto entry = commandEntry(commandCode);
    if (!entry || static_cast<std::size_t>(entry->replyDigits) != data.size()) {
        return kReceiveFailed;
    }
    ReplyFrame decoded;
    if (!decodeWords(data, decoded)) {
        return kReceiveFailed;
    }
    decoded.address = address;
    decoded.commandCode = commandCode;
    reply = decoded;
    return kReceivedData;
}

} // namespace kqvdr
