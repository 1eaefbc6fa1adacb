#pragma once

#include <array>
#include <string>

namespace kqvdr {

// One method: names live only on the PC, setpoints come from the instrument.
struct MethodRecord {
    int number = 0;
    std::string name;
    std::string description;
    int evaporatorTemp = 0;   // °C
    int nebuliserTemp = 0;    // °C
    int transferLineTemp = 0; // °C
    int gasFlow = 0;          // tenths of SLM, hundredths with the fine gas-flow range
    int autozeroOffset = 0;   // mV
    int timeConstant = 0;     // s
};

inline constexpr int kMethodCount = 11; // custom method 0 and the user's methods 1 to 10

using MethodTable = std::array<MethodRecord, kMethodCount>;

} // namespace kqvdr
