#pragma once

#include "TestResult.h"
#include "TestVerdicts.h"

#include <string>
#include <vector>

namespace kqvdr {

enum class Heater { Nebuliser, Evaporator };

// The lines of the detail dialogs, one per row, tab-separated for the list's tab stops. Numbers
// follow the user's regional settings, as everything on screen does.
std::vector<std::string> temperatureResponseLines(const std::vector<TestResult>& rows);
std::vector<std::string> baselineStabilityLines(const std::vector<TestResult>& rows);
std::vector<std::string> massFlowResponseLines(const std::vector<TestResult>& rows);
std::vector<std::string> temperatureStabilityLines(const std::vector<TestResult>& rows,
                                                   Heater heater);

// A stability page's verdict: both of its heater's verdicts on every row.
Verdict heaterStabilityVerdict(const std::vector<TestResult>& rows, Heater heater);

// The "Method Settings" message: the setpoints of every row.
std::string methodSettingsText(const std::vector<TestResult>& rows);

} // namespace kqvdr
