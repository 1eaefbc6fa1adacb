#include "PanelTexts.h"

#include <cstdio>

namespace kqvdr {
namespace {

constexpr const char* kDegreesCelsius = "  \xC2\xB0"
                                        "C";

template <typename... Args> std::string format(const char* pattern, Args... args) {
    char buffer[128];
    const int length = std::snprintf(buffer, sizeof buffer, pattern, args...);
    return length < 0 ? std::string() : std::string(buffer);
}

} // namespace

std::string timeConstantText(int seconds) {
    return format("%d  sec", seconds);
}

std::string heaterTemperatureText(int measuredTenths, int setpoint) {
    // Truncated toward zero, as integer division does.
    return format("%d  (%d)", measuredTenths / 10, setpoint) + kDegreesCelsius;
}

std::string transferLineText(int setpoint) {
    return format("%d", setpoint) + kDegreesCelsius;
}

std::string gasFlowText(double knobValue, int setpoint, bool fine) {
    return fine ? format("%.2f (%.2f)  SLM", knobValue, setpoint * 0.01)
                : format("%.1f (%.1f)  SLM", knobValue, setpoint * 0.1);
}

std::string autozeroOffsetText(int millivolts) {
    return format("%d  mV", millivolts);
}

std::string outputText(int millivolts) {
    return format("%d  mV", millivolts);
}

std::string modeName(int mode, bool ready) {
    switch (mode) {
    case 0:
        return "Standby";
    case 1:
        return ready ? "Run (ok)" : "Run";
    case 2:
        return "Gas Save";
    case 3:
        return "Sleep";
    case 4:
        return "ERROR";
    default:
        return "";
    }
}

} // namespace kqvdr
