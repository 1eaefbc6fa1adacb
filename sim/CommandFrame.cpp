#include "CommandFrame.h"

#include "CommandTable.h"
#include "Frame.h"

#include <array>

namespace kqvdr::sim {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

int hexNumber(std::string_view digits) {
    int value = 0;
    for (const char c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

std::string hexByte(unsigned value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[(value >> 4) & 0xF], kHex[value & 0xF]};
}

} // namespace

bool decodeCommandFrame(std::string_view body, CommandFrame& frame) {
    if (body.size() < 6) {
        return false;
    }
    const int address = hexNumber(body.substr(0, 2));
    const int commandCode = hexNumber(body.substr(2, 2));
    const int checksum = hexNumber(body.substr(body.size() - 2));
    const auto entry = commandEntry(commandCode);
    if (address < 0 || checksum < 0 || !entry ||
        body.size() != static_cast<std::size_t>(entry->sendDigits) + 6) {
        return false;
    }
    unsigned sum = 0;
    for (const char c : body.substr(0, body.size() - 2)) {
        sum += static_cast<unsigned char>(c);
    }
    if (static_cast<int>(sum & 0xFF) != checksum) {
        return false;
    }
    CommandFrame decoded{address, commandCode, {}};
    const auto data = body.substr(4, body.size() - 6);
    for (std::size_t pos = 0; pos < data.size(); pos += 4) {
        const int value = hexNumber(data.substr(pos, 4));
        if (value < 0) {
            return false;
        }
        decoded.words.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    }
    frame = std::move(decoded);
    return true;
}

std::string dataReplyFrame(int address, int commandCode, const std::vector<std::int16_t>& words) {
    const auto entry = commandEntry(commandCode);
    if (!entry) {
        return {};
    }
    std::array<char, frameLength(264) + 1> buffer{};
    const std::size_t length = BuildFrame(address, commandCode, words, entry->replyDigits, buffer);
    return std::string(buffer.data(), length);
}

std::string acknowledgementFrame(int address, int commandCode, char acknowledgement) {
    std::string body = hexByte(static_cast<unsigned>(address) & 0xFF) +
                       hexByte(static_cast<unsigned>(commandCode) & 0xFF) + acknowledgement;
    unsigned sum = 0;
    for (const char c : body) {
        sum += static_cast<unsigned char>(c);
    }
    return std::string(1, kStx) + body + hexByte(sum & 0xFF) + kEtx;
}

} // namespace kqvdr::sim
