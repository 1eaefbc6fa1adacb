#pragma once

#include <string>
#include <string_view>

namespace kqvdr {

// One line of a test log as the analysis reads it back: the sixteen fields the log writer puts
// down, in file order.
struct LogRecord {
    std::string time; // "HH:MM:SS"
    int nebSet = 0;
    int evapSet = 0;
    int transferSet = 0;
    float gasSet = 0;
    float nebTemp = 0;
    float evapTemp = 0;
    float gasFlow = 0;
    float detector = 0; // volts
    float exhaust = 0;
    std::string mode;  // "STANDBY", "RUN", "GAS_SAVE", "SLEEP", "ERROR"
    std::string ready; // "T" or "F"
    int method = 0;
};

// A single-precision reading as the double of its shortest decimal text, so that 80.2 read back
// is 80.2 and not 80.19999694...
double widen(float value);

// A record only when all sixteen fields convert, read as a C scanf of
// "%s%d%d%d%f%f%f%f%f%f%s%s%s%s%d%s" would; a decimal comma counts as a point, so that a log
// written under a comma-decimal locale still reads. Beyond what scanf checks, a line holds no
// record when it carries a control character (a block of NULs), a time that is no time of day
// (25:61:99) or a number no 16-bit instrument word can give (1e308, where scanf would keep the
// previous line's value).
bool readLogRecord(std::string_view line, LogRecord& record);

// Cuts a log into lines at LF, CR LF or a lone CR, after a UTF-8 byte-order mark if the text
// starts with one. A line may be of any length.
class LogLineReader {
public:
    explicit LogLineReader(std::string_view text);
    // False at the end of the text.
    bool next(std::string_view& line);
    // The 1-based number of the line `next` returned last.
    std::size_t lineNumber() const { return number_; }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t number_ = 0;
};

// Whether a line holds nothing but blanks: no data, so nothing is lost by passing over it.
bool blankLine(std::string_view line);

} // namespace kqvdr
