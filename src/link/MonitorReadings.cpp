#include "MonitorReadings.h"

#include "InstrumentState.h"
#include "NumberText.h"
#include "PanelTexts.h"

namespace kqvdr {

MonitorReadings monitorReadings(const InstrumentState& state) {
    const ParameterTable& p = state.parameters;
    const auto degrees = [&p](ParameterIndex index) {
        return std::to_string(p.measured(index) / 10) + " C";
    };
    const int gas = p.measured(ParameterIndex::GasFlow);
    return {modeName(state.mode(), state.readyFlag),
            degrees(ParameterIndex::Evaporator),
            degrees(ParameterIndex::Nebuliser),
            degrees(ParameterIndex::Exhaust),
            (state.fineGasResolution ? formatDecimal(gas * 0.01, 2) : formatDecimal(gas * 0.1, 1)) +
                " SLM",
            std::to_string(p.measured(ParameterIndex::DetectorOutput)) + " mV"};
}

} // namespace kqvdr
