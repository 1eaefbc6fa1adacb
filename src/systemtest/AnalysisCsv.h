#pragma once

#include "TestResult.h"

#include <string>
#include <vector>

namespace kqvdr {

// The result rows as CSV for a spreadsheet: a header of the field names, then one record per
// method, "." decimals whatever the locale, "true"/"false" for the verdicts.
std::string analysisCsv(const std::vector<TestResult>& rows);

} // namespace kqvdr
