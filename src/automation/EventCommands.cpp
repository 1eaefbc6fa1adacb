#include "EventCommands.h"

#include "CommandTable.h"
#include "InstrumentState.h"
#include "NumberText.h"
#include "SendCommand.h"

namespace kqvdr {

void sendEventMode(SerialDriver& driver, InstrumentState& state, const AutomationEvent& event) {
    if (const auto mode = eventModeCode(event.eventMode); mode && *mode != state.expectedMode()) {
        const std::int16_t data[] = {static_cast<std::int16_t>(*mode)};
        SendCommand(driver, state.deviceId(), code(Command::SetMode), data);
        state.modeCommanded(*mode);
    }
}

void sendEventMethod(SerialDriver& driver, const InstrumentState& state,
                     const AutomationEvent& event) {
    const std::int16_t method[] = {static_cast<std::int16_t>(parseLeadingInt(event.eventMethod))};
    SendCommand(driver, state.deviceId(), code(Command::SelectMethod), method);
}

} // namespace kqvdr
