#include "CommandTable.h"

#include <array>

namespace kqvdr {
namespace {

constexpr std::array<CommandEntry, kHighestCommandCode + 1> kCommands = {{
    {0, 2, 1},    {1, 4, 1},   {2, 4, 1},  {3, 4, 1},  {4, 4, 1},  {5, 2, 1},
    {6, 2, 1},    {7, 2, 1},   {8, 0, 1},  {9, 2, 1},  {10, 2, 1}, {11, 0, 1},
    {12, 0, 1},   {13, 0, 1},  {14, 0, 1}, {15, 0, 1}, {16, 0, 1}, {17, 0, 4},
    {18, 0, 4},   {19, 0, 4},  {20, 0, 4}, {21, 0, 4}, {22, 0, 4}, {23, 0, 4},
    {24, 0, 4},   {25, 0, 4},  {26, 0, 4}, {27, 0, 4}, {28, 0, 4}, {29, 0, 4},
    {30, 0, 264}, {31, 28, 1}, {32, 0, 4}, {33, 0, 2}, {34, 2, 1}, {35, 0, 2},
}};

} // namespace

std::optional<CommandEntry> commandEntry(int code) {
    if (code < 0 || code > kHighestCommandCode) {
        return std::nullopt;
    }
    return kCommands[static_cast<std::size_t>(code)];
}

} // namespace kqvdr
