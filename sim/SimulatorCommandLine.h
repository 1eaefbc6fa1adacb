#pragma once

#include "SimulatorOptions.h"

#include <string>
#include <vector>

namespace kqvdr::sim {

struct SimulatorCommandLine {
    SimulatorOptions options;
    bool showHelp = false;
    std::string error;
};

SimulatorCommandLine parseSimulatorCommandLine(const std::vector<std::string>& arguments);
std::string simulatorUsage();

} // namespace kqvdr::sim
