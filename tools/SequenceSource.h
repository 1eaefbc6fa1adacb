#pragma once

#include "AutomationEvent.h"

#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {

// The readable source of a supplied sequence file. Line based:
//   # comment, and blank lines, are ignored
//   step HH:MM MODE METHOD      ten of them: a 24-hour time or "##:##" (not set), a mode word
//                               (STANDBY, RUN, GAS SAVE, SLEEP) and a method 1 to 10
struct SequenceSource {
    Timetable steps = defaultTimetable();
    std::vector<std::string> errors; // "line N: ..."; the source is usable only when empty
};

SequenceSource parseSequenceSource(std::string_view text);

} // namespace kqvdr
