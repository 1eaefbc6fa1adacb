#pragma once

#include "AutomationEvent.h"

namespace kqvdr {

class SerialDriver;
struct InstrumentState;

// What a timetable step asks of the instrument, shared by the automation and the system test.
// The mode is sent only when it differs from the instrument's, as last commanded or else as
// reported; any other word sends nothing.
void sendEventMode(SerialDriver& driver, InstrumentState& state, const AutomationEvent& event);
// Select method with the integer value of the step's method text.
void sendEventMethod(SerialDriver& driver, const InstrumentState& state,
                     const AutomationEvent& event);

} // namespace kqvdr
