#pragma once

#include "SleepInhibitor.h"

namespace kqvdr {

// Windows: the system stays awake while this thread's execution state asks for it; the display
// is left to its own timer. Windows ties the state to the thread that set it, so hold() and
// release() must come from the one thread that runs the ticks.
class WindowsSleepInhibitor final : public SleepInhibitor {
public:
    WindowsSleepInhibitor() = default;
    ~WindowsSleepInhibitor() override;
    WindowsSleepInhibitor(const WindowsSleepInhibitor&) = delete;
    WindowsSleepInhibitor& operator=(const WindowsSleepInhibitor&) = delete;

    void hold() override;
    void release() override;

private:
    bool holding_ = false;
};

} // namespace kqvdr
