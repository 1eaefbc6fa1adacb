#include "LiveValues.h"

#include "FaultKind.h"
#include "InstrumentState.h"

#include <array>

namespace kqvdr::remote {
namespace {

constexpr std::array<std::string_view, 4> kModeNames = {"STANDBY", "RUN", "GAS SAVE", "SLEEP"};

std::string trimmed(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return std::string(text);
}

// The code of the fault whose dialog is open, as the log names it once cleared.
std::string openFault(const InstrumentState& state) {
    for (const FaultKind& kind : faultKinds()) {
        const FaultDialogFlags& flags = state.faultDialogs[static_cast<std::size_t>(kind.dialog)];
        // The vapour dialog serves two kinds; its variant tells which one is up.
        if (flags.showing && flags.deviceError == kind.deviceError) {
            return trimmed(kind.clearedCode);
        }
    }
    return {};
}

} // namespace

std::string modeName(int code) {
    if (code >= 0 && code < static_cast<int>(kModeNames.size())) {
        return std::string(kModeNames[static_cast<std::size_t>(code)]);
    }
    return "ERROR";
}

std::optional<int> modeCode(std::string_view name) {
    for (std::size_t i = 0; i < kModeNames.size(); ++i) {
        if (kModeNames[i] == name) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

LiveValues liveValuesOf(const InstrumentState& state) {
    const ParameterTable& p = state.parameters;
    LiveValues values;
    values.mode = modeName(state.mode());
    values.ready = state.readyFlag;
    // Divided, not multiplied by 0.1, so that 252 tenths is the double nearest 25.2, which a
    // client prints as the panel does, not as 25.200000000000003.
    values.evaporatorTemperature = p.measured(ParameterIndex::Evaporator) / 10.0;
    values.nebuliserTemperature = p.measured(ParameterIndex::Nebuliser) / 10.0;
    values.exhaustTemperature = p.measured(ParameterIndex::Exhaust) / 10.0;
    values.transferLineTemperature = p[ParameterIndex::TransferLine].setpoint;
    values.gasFlow = p.measured(ParameterIndex::GasFlow) / (state.fineGasResolution ? 100.0 : 10.0);
    values.detectorOutput = p.measured(ParameterIndex::DetectorOutput);
    values.methodNumber = p.measured(ParameterIndex::MethodNumber);
    values.fault = openFault(state);
    values.fineGasResolution = state.fineGasResolution;
    return values;
}

} // namespace kqvdr::remote
