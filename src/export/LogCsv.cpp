#include "LogCsv.h"

#include "ClockSeconds.h"
#include "CsvWriter.h"

#include <array>
#include <cstdio>
#include <optional>
#include <vector>

namespace kqvdr {
namespace {

constexpr std::size_t kLogFields = 16;
constexpr int kLargestClockStepBack = 3600; // seconds: summer time ends

constexpr std::array<std::string_view, kLogFields + 1> kHeader = {
    "Date",
    "Time",
    "Nebuliser setpoint (C)",
    "Evaporator setpoint (C)",
    "Transfer line setpoint (C)",
    "Gas flow setpoint (SLM)",
    "Nebuliser (C)",
    "Evaporator (C)",
    "Gas flow (SLM)",
    "Detector output (V)",
    "Exhaust (C)",
    "Mode",
    "Ready",
    "Busy",
    "Heater",
    "Method",
    "Error",
};

// Fields 2 to 10 are numbers. A log written where the decimal sign is a comma is still read.
constexpr std::size_t kFirstNumber = 1;
constexpr std::size_t kLastNumber = 9;

struct ParsedLine {
    int secondOfDay = 0;
    std::array<std::string, kLogFields> fields;
};

std::optional<int> secondOfDay(std::string_view time) {
    int h = 0, m = 0, s = 0;
    if (time.size() != 8 || time[2] != ':' || time[5] != ':' ||
        std::sscanf(std::string(time).c_str(), "%2d:%2d:%2d", &h, &m, &s) != 3 || h > 23 ||
        m > 59 || s > 59 || h < 0 || m < 0 || s < 0) {
        return std::nullopt;
    }
    return h * 3600 + m * 60 + s;
}

bool isNumber(std::string& text) {
    bool digit = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == ',') {
            text[i] = '.';
        } else if (!(c == '.' || (i == 0 && c == '-'))) {
            return false;
        }
    }
    return digit;
}

// Each field is followed by exactly one blank; the mode may be empty and the error column may
// itself hold blanks (" - ", "OT "), so it is the rest of the line.
std::optional<ParsedLine> parseLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.empty() || line.back() != ' ') {
        return std::nullopt;
    }
    line.remove_suffix(1);
    ParsedLine parsed;
    for (std::size_t i = 0; i + 1 < kLogFields; ++i) {
        const std::size_t blank = line.find(' ');
        if (blank == std::string_view::npos) {
            return std::nullopt;
        }
        parsed.fields[i] = std::string(line.substr(0, blank));
        line.remove_prefix(blank + 1);
    }
    std::string_view error = line;
    while (!error.empty() && error.front() == ' ') {
        error.remove_prefix(1);
    }
    while (!error.empty() && error.back() == ' ') {
        error.remove_suffix(1);
    }
    parsed.fields[kLogFields - 1] = error == "-" ? "" : std::string(error);
    for (std::size_t i = kFirstNumber; i <= kLastNumber; ++i) {
        if (!isNumber(parsed.fields[i])) {
            return std::nullopt;
        }
    }
    const auto second = secondOfDay(parsed.fields[0]);
    if (!second) {
        return std::nullopt;
    }
    parsed.secondOfDay = *second;
    return parsed;
}

std::string isoDate(const LocalTime& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year, time.month, time.day);
    return text;
}

} // namespace

LogCsv logToCsv(std::string_view logText, const LocalTime& lastWritten) {
    LogCsv result;
    std::vector<ParsedLine> lines;
    while (!logText.empty()) {
        const std::size_t end = logText.find('\n');
        const std::string_view line = logText.substr(0, end);
        logText = end == std::string_view::npos ? std::string_view() : logText.substr(end + 1);
        if (auto parsed = parseLine(line)) {
            lines.push_back(std::move(*parsed));
        } else if (!line.empty() && line != "\r") {
            ++result.skipped;
        }
    }

    // Dates from the last line backwards: a later time of day before an earlier one means a
    // midnight between them, unless the step back is one the clock makes at the end of summer
    // time (02:59 to 02:00): lines come every half minute, so a midnight steps back almost a
    // whole day.
    std::vector<std::string> dates(lines.size());
    std::int64_t day = localSeconds(lastWritten) / 86400;
    const int lastWrittenSecond =
        lastWritten.hour * 3600 + lastWritten.minute * 60 + lastWritten.second;
    for (std::size_t i = lines.size(); i-- > 0;) {
        const int next = i + 1 < lines.size() ? lines[i + 1].secondOfDay : lastWrittenSecond;
        if (lines[i].secondOfDay - next > kLargestClockStepBack) {
            --day;
        }
        dates[i] = isoDate(localTimeAt(day * 86400));
    }

    CsvWriter csv;
    csv.record(kHeader);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::vector<std::string> row{dates[i]};
        row.insert(row.end(), lines[i].fields.begin(), lines[i].fields.end());
        csv.record(row);
    }
    result.text = csv.text();
    result.rows = lines.size();
    return result;
}

} // namespace kqvdr
