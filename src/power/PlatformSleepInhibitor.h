#pragma once

#include "SleepInhibitor.h"

#include <memory>

namespace kqvdr {

// What keeps this computer awake: logind over the system bus on Linux, the thread's execution
// state on Windows.
std::unique_ptr<SleepInhibitor> platformSleepInhibitor();

} // namespace kqvdr
