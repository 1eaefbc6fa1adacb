#pragma once

#include "TestVerdicts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {
struct InstrumentState;
}

namespace kqvdr::remote {

// Where a system test stands, as the tick last saw it.
struct SystemTestStatus {
    int run = 0; // counts the tests started, here or at the panel, so runs are told apart
    bool running = false;
    bool ended = false;     // it ran and has stopped, completed or not
    bool completed = false; // ran its whole timetable into its own log
    int progressPercent = 0;
    int remainingSeconds = -1; // until the timetable's end, in whole minutes; -1 when unknown
    std::string logPath;
    // A completed run's verdicts, judged from its log as the run left it: a later test may
    // write a log of the same name.
    TestVerdicts verdicts;
    std::string logFailure; // why that log could not be read; the verdicts then mean nothing
    bool operator==(const SystemTestStatus&) const = default;
};

// What the subscriptions report, in the numbers and units the panel shows.
struct LiveValues {
    std::string mode; // "STANDBY", "RUN", "GAS SAVE", "SLEEP" or "ERROR"
    bool ready = false;
    double evaporatorTemperature = 0;   // °C
    double nebuliserTemperature = 0;    // °C
    double exhaustTemperature = 0;      // °C
    double transferLineTemperature = 0; // °C, the setpoint the panel shows
    double gasFlow = 0;                 // SLM
    double detectorOutput = 0;          // mV
    std::int64_t methodNumber = 0;
    std::string fault;                         // "" or the open fault's code, e.g. "GAS"
    bool fineGasResolution = false;            // which gas-flow limits a method must keep
    std::vector<SystemTestStatus> systemTests; // the latest runs, oldest first
    bool operator==(const LiveValues&) const = default;
};

// The mode names of the remote interface, the same words the automation uses.
std::string modeName(int code);
std::optional<int> modeCode(std::string_view name);

// The values of the instrument state as the panel shows them; the system test is filled in by
// the caller, which owns it.
LiveValues liveValuesOf(const InstrumentState& state);

} // namespace kqvdr::remote
