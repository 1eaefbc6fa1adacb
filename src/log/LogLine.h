#pragma once

#include "Clock.h"

#include <array>
#include <string>

namespace kqvdr {

struct InstrumentState;

// One state line in its two forms: the sixteen-field line of the log file (every field followed
// by one blank, then CR LF) and the fixed-width line that the recent-lines ring and the viewer
// hold.
struct LogLine {
    std::string fileLine;
    std::string displayLine;
};

// Formats state lines. It remembers the display line's mode word, because a mode outside 0 to 4
// keeps the word of the line before.
class LogLineFormatter {
public:
    LogLine format(const InstrumentState& state, const LocalTime& time);

private:
    std::string displayMode_;
};

// The viewer's two heading rows, group headings over column headings, laid out with the display
// line's own column widths so that they stand over the padded columns in a fixed-pitch font.
std::array<std::string, 2> displayHeadings();

// "%.Nf" with "." as the decimal point whatever the locale: log files are read on other
// machines, whose regional settings may differ.
std::string fileDecimal(double value, int decimals);

} // namespace kqvdr
