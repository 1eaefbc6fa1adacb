#pragma once

#include "MethodFile.h"

#include <optional>
#include <string>

namespace kqvdr {

// A method file is read as text, so anything can stand where a setpoint belongs. Names the first
// setpoint of methods 1 to 10 that is not a whole number within the method editor's limits (as
// "method 3, evaporator temperature \"99999\" (30 to 300)"), or nothing when all are usable.
std::optional<std::string> methodFileProblem(const MethodFile& file, bool fineGasResolution);

} // namespace kqvdr
