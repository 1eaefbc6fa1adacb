#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kqvdr {
struct InstrumentState;
}

namespace kqvdr::remote {

// Where an observed system test stands, as the tick last saw it.
struct SystemTestStatus {
    int run = 0; // counts the tests started, so that a finished run is told from a new one
    bool running = false;
    bool ended = false;     // it ran and has stopped, completed or not
    bool completed = false; // ran to the end of its timetable
    int progressPercent = 0;
    std::string logPath;
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
    std::string fault; // "" or the open fault's code, e.g. "GAS"
    SystemTestStatus systemTest;
    bool operator==(const LiveValues&) const = default;
};

// The mode names of the remote interface, the same words the automation uses.
std::string modeName(int code);
std::optional<int> modeCode(std::string_view name);

// The values of the instrument state as the panel shows them; the system test is filled in by
// the caller, which owns it.
LiveValues liveValuesOf(const InstrumentState& state);

} // namespace kqvdr::remote
