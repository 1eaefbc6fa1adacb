#pragma once

#include "LiveValues.h"

#include <deque>
#include <vector>

namespace kqvdr {

class SystemTestControl;

// The system tests of this session as remote clients follow them: every run, started here or
// at the panel, under its own number, and what it ended with. A completed run's log is judged
// once, when the run ends, so a later night's log of the same name cannot stand in for it.
class RemoteTestHistory {
public:
    static constexpr std::size_t kKeptRuns = 16;

    // At the end of every tick: `running`, `progressPercent` and `remainingSeconds` (-1 when
    // unknown) describe the test now set.
    void follow(const SystemTestControl& control, bool running, int progressPercent,
                int remainingSeconds);
    std::vector<remote::SystemTestStatus> runs() const { return {runs_.begin(), runs_.end()}; }

private:
    remote::SystemTestStatus& record(int run);

    std::deque<remote::SystemTestStatus> runs_; // oldest first
};

} // namespace kqvdr
