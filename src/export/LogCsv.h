#pragma once

#include "Clock.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kqvdr {

struct LogCsv {
    std::string text;        // header row and one row per log line
    std::size_t rows = 0;    // log lines converted
    std::size_t skipped = 0; // lines that were not log lines, left out
};

// An operational or system-test log as CSV. The log's lines carry the time of day only; the
// date comes from `lastWritten` (the file's last change, when its last line was written), going
// back a day wherever the times step backwards across midnight.
LogCsv logToCsv(std::string_view logText, const LocalTime& lastWritten);

} // namespace kqvdr
