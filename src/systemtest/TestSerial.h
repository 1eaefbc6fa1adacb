#pragma once

#include <string>
#include <string_view>

namespace kqvdr {

// A test serial number is kept with "_" as its fourth character ("003_001", the log's file name
// without ".log") and shown with "-" there ("003-001").
std::string shownSerial(std::string_view serial);
std::string storedSerial(std::string_view serial);

// The serial number of a log file's name: the name with every ".log" removed.
std::string serialOfLogName(std::string_view fileName);

// A chosen log's name must carry "003" or "M03" to be taken for a test log.
bool looksLikeTestLog(std::string_view fileName);

} // namespace kqvdr
