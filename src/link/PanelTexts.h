#pragma once

#include <string>

namespace kqvdr {

// The status texts of the front panel, in the exact forms the operator knows.
std::string timeConstantText(int seconds);                           // "1  sec"
std::string heaterTemperatureText(int measuredTenths, int setpoint); // "39  (40)  °C"
std::string transferLineText(int setpoint);                          // "120  °C"
std::string gasFlowText(double knobValue, int setpoint, bool fine);  // "1.2 (1.5)  SLM"
std::string autozeroOffsetText(int millivolts);                      // "5  mV"
std::string outputText(int millivolts);                              // "-3  mV"

// The mode as the monitor window names it.
std::string modeName(int mode, bool ready);

} // namespace kqvdr
