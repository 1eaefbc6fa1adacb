#pragma once

#include "CommandTable.h"
#include "Frame.h"

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace kqvdr::bench {

// The fourteen replies of one sweep, as the instrument sends them; the status word is given.
inline std::string sweepReplies(std::int16_t statusWord) {
    const std::pair<int, std::int16_t> replies[] = {
        {17, statusWord}, {18, 150},  {19, 100}, {20, 1123}, {21, 140}, {22, 15}, {23, 4},
        {24, 3},          {25, 1502}, {26, 999}, {27, 15},   {28, 23},  {29, 0},  {33, 2}};
    std::string bytes;
    for (const auto& [code, word] : replies) {
        std::array<char, 64> out{};
        const std::int16_t data[] = {word};
        const std::size_t length = BuildFrame(0, code, data, commandEntry(code)->replyDigits, out);
        bytes.append(out.data(), length);
    }
    return bytes;
}

} // namespace kqvdr::bench
