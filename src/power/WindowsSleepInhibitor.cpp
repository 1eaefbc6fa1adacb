#include "WindowsSleepInhibitor.h"

#include <windows.h>

namespace kqvdr {

WindowsSleepInhibitor::~WindowsSleepInhibitor() {
    release();
}

void WindowsSleepInhibitor::hold() {
    if (holding_) {
        return;
    }
    // Fails only for flags Windows does not know; these it has known since XP.
    holding_ = SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0;
}

void WindowsSleepInhibitor::release() {
    if (!holding_) {
        return;
    }
    SetThreadExecutionState(ES_CONTINUOUS);
    holding_ = false;
}

} // namespace kqvdr
