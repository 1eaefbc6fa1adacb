#pragma once

#include "MethodRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {

// The readable source of a supplied method file. Line based:
//   # comment, and blank lines, are ignored
//   units tenths|hundredths     first, once: the gas-flow unit of the whole file
//   method N                    N = 1 to 10, in order, each once
//   name TEXT
//   description TEXT            repeat for more lines (joined with CR LF)
//   evaporator N / nebuliser N / transfer-line N / gas-flow N / autozero N / time-constant N
// Every method has each key; values must lie within the instrument's ranges.
struct MethodSource {
    bool hundredths = false;
    MethodTable methods{};           // 1 to 10 filled, 0 unused
    std::vector<std::string> errors; // "line N: ..."; the source is usable only when empty
};

MethodSource parseMethodSource(std::string_view text);

} // namespace kqvdr
