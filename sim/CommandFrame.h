#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr::sim {

// A command frame as the instrument reads it: the data length must be the table's sendDigits.
struct CommandFrame {
    int address = 0;
    int commandCode = 0;
    std::vector<std::int16_t> words;
};

// Decodes the characters between STX and ETX; false for anything malformed.
bool decodeCommandFrame(std::string_view body, CommandFrame& frame);

// The instrument's replies: data of the table's replyDigits, or a one-character acknowledgement.
std::string dataReplyFrame(int address, int commandCode, const std::vector<std::int16_t>& words);
std::string acknowledgementFrame(int address, int commandCode, char acknowledgement);

} // namespace kqvdr::sim
