#pragma once

#include "AutomationEvent.h"

#include <string>

namespace kqvdr {

// The stop window's line for the current event: number, start, end (the next event's start),
// and the mode and method last applied, spaced as the column labels above it.
std::string currentEventLine(const AutomationTable& table);

// One event of the Information summary, or "END" for an event that is not set.
std::string eventSummary(const AutomationTable& table, int number);

// The Information message: the summaries of events 1 to 10 up to the first "END".
std::string automationInformation(const AutomationTable& table);

} // namespace kqvdr
