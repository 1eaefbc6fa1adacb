#include "LogLine.h"

#include "InstrumentState.h"
#include "TimeText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace kqvdr {
namespace {

// Single-precision factors: the product is a float, widened only for formatting.
constexpr float kTenth = 0.1f;
constexpr float kHundredth = 0.01f;
constexpr float kThousandth = 0.001f;

constexpr std::array<const char*, 5> kFileModes = {"STANDBY", "RUN", "GAS_SAVE", "SLEEP", "ERROR"};
constexpr std::array<const char*, 5> kDisplayModes = {"STANDBY ", "RUN     ", "GAS SAVE",
                                                      "SLEEP   ", "ERROR   "};

constexpr const char* kDisplayFormat =
    "%-6s %4s %4s %4s %5s %6s %6s %5s %6s %6s %10s %3s %3s %3s %3s %4s";

std::string displayText(const std::array<std::string, 16>& f) {
    std::array<char, 512> buffer{};
    const int length =
        std::snprintf(buffer.data(), buffer.size(), kDisplayFormat, f[0].c_str(), f[1].c_str(),
                      f[2].c_str(), f[3].c_str(), f[4].c_str(), f[5].c_str(), f[6].c_str(),
                      f[7].c_str(), f[8].c_str(), f[9].c_str(), f[10].c_str(), f[11].c_str(),
                      f[12].c_str(), f[13].c_str(), f[14].c_str(), f[15].c_str());
    const std::size_t size = length < 0 ? 0 : static_cast<std::size_t>(length);
    return std::string(buffer.data(), std::min(size, buffer.size() - 1));
}

// A group heading centred in dashes over the columns its fields fill.
void putGroup(std::string& row, const std::string& layout, char field, const std::string& name) {
    const std::size_t first = layout.find(field);
    const std::size_t last = layout.rfind(field);
    const std::size_t width = last - first + 1;
    const std::string label = " " + name + " ";
    std::string group(width, '-');
    if (label.size() <= width) {
        group.replace((width - label.size()) / 2, label.size(), label);
    }
    row.replace(first, width, group);
}

double scaled(int value, float factor) {
    return static_cast<double>(static_cast<float>(value) * factor);
}

std::string gasText(int value, bool fine) {
    return fine ? fileDecimal(scaled(value, kHundredth), 2) : fileDecimal(scaled(value, kTenth), 1);
}

std::string flagText(bool flag) {
    return flag ? "T" : "F";
}

} // namespace

std::string fileDecimal(double value, int decimals) {
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

LogLine LogLineFormatter::format(const InstrumentState& state, const LocalTime& time) {
    const ParameterTable& p = state.parameters;
    const bool fine = state.fineGasResolution;
    const int mode = state.mode();
    const bool knownMode = mode >= 0 && mode < static_cast<int>(kFileModes.size());
    if (knownMode) {
        displayMode_ = kDisplayModes[static_cast<std::size_t>(mode)];
    }
    const std::string& errorColumn =
        state.lastErrorCode != " - " ? state.lastErrorCode : state.currentErrorCode;

    const std::array<std::string, 16> fields = {
        timeText(time),
        std::to_string(p.setpoint(ParameterIndex::Nebuliser)),
        std::to_string(p.setpoint(ParameterIndex::Evaporator)),
        std::to_string(p.setpoint(ParameterIndex::TransferLine)),
        gasText(p.setpoint(ParameterIndex::GasFlow), fine),
        fileDecimal(scaled(p.measured(ParameterIndex::Nebuliser), kTenth), 1),
        fileDecimal(scaled(p.measured(ParameterIndex::Evaporator), kTenth), 1),
        gasText(p.measured(ParameterIndex::GasFlow), fine),
        fileDecimal(scaled(p.measured(ParameterIndex::DetectorOutput), kThousandth), 2),
        fileDecimal(scaled(p.measured(ParameterIndex::Exhaust), kTenth), 1),
        knownMode ? kFileModes[static_cast<std::size_t>(mode)] : "",
        flagText(state.readyFlag),
        flagText(state.busyFlag),
        flagText(state.heaterOnFlag),
        std::to_string(p.measured(ParameterIndex::MethodNumber)),
        errorColumn,
    };

    LogLine line;
    for (const std::string& field : fields) {
        line.fileLine += field;
        line.fileLine += ' ';
    }
    line.fileLine += "\r\n";

    std::array<std::string, 16> display = fields;
    display[10] = displayMode_;
    line.displayLine = displayText(display);
    return line;
}

std::array<std::string, 2> displayHeadings() {
    // Fields as wide as the real texts: a time is eight characters, a mode word eight.
    const std::string layout =
        displayText({"TTTTTTTT", "SSSS", "SSSS", "SSSS", "SSSSS", "CCCCCC", "CCCCCC", "CCCCC",
                     "CCCCCC", "CCCCCC", "MMMMMMMMMM", "MMM", "MMM", "MMM", "MMM", "MMMM"});
    std::string groups(layout.size(), ' ');
    putGroup(groups, layout, 'S', "Setpoints");
    putGroup(groups, layout, 'C', "Current");
    putGroup(groups, layout, 'M', "Status");
    const std::string columns =
        displayText({"Time    ", "Neb", "Evap", "T/L", "Gas", "Neb", "Evap", "Gas", "Photo", "Exh",
                     "Mode    ", "Sta", "Bsy", "T/L", "Mtd", "Err"});
    return {groups, columns};
}

} // namespace kqvdr
