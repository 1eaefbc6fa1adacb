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
// written under a comma-decimal locale still reads. A time longer than its 11-character buffer
// does not convert.
bool readLogRecord(std::string_view line, LogRecord& record);

// Cuts a log into the pieces a line reader with an 80-byte buffer returns: each piece ends
// after a line break or after 79 characters, whichever comes first (the rest of a longer line
// is the next piece). CR LF counts as one line break.
class LogPieceReader {
public:
    explicit LogPieceReader(std::string_view text) : text_(text) {}
    // False at the end of the text.
    bool next(std::string_view& piece);

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

} // namespace kqvdr
