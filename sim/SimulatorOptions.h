#pragma once

namespace kqvdr::sim {

struct SimulatorOptions {
    bool fineGas = false;
    int deviceId = 0;
    bool vapourCapable = true; // false: an older instrument that never answers code 33
    bool pace = false;         // replies take their byte time at 9600 baud
    bool trace = false;
    unsigned seed = 1;
};

} // namespace kqvdr::sim
