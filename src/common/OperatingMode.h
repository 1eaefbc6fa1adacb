#pragma once

namespace kqvdr {

// Operating-mode codes as they travel on the wire and stand in the parameter table.
enum class OperatingMode : int {
    Standby = 0,
    Run = 1,
    GasSave = 2,
    Sleep = 3,
    Error = 4, // reported by the instrument only, never sent
};

constexpr int modeCode(OperatingMode mode) {
    return static_cast<int>(mode);
}

} // namespace kqvdr
