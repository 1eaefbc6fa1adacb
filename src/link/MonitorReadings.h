#pragma once

#include <string>

namespace kqvdr {

struct InstrumentState;

// The live readings as the monitor window shows them.
struct MonitorReadings {
    std::string mode;
    std::string evaporator; // "152 C"
    std::string nebuliser;
    std::string exhaust;
    std::string gasFlow; // "1.5 SLM"
    std::string output;  // "23 mV"
};

MonitorReadings monitorReadings(const InstrumentState& state);

} // namespace kqvdr
