#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {

// How much one instrument (known by its device identification) has been used, as the program
// saw it through the poll.
struct InstrumentUsage {
    int deviceId = 0;
    std::string firstUse; // ISO date of the first time the program saw it
    std::int64_t runSeconds = 0;
    std::int64_t gasSaveSeconds = 0;
    std::int64_t heaterSeconds = 0;
    std::int64_t autozeroCount = 0;
    std::map<std::string, std::int64_t> faults; // by fault code

    bool operator==(const InstrumentUsage&) const = default;
};

inline constexpr const char* kUsageFile = "usage.txt";

// The file: one "instrument N" line opens each instrument's block, "key value" lines follow.
// Readers skip lines they do not know, so a later version can add counters. A line that is not
// text, a known key with a value that is not a count, and the lines of a block whose
// "instrument" line is damaged are skipped too, and counted in `damagedLines`.
std::string usageFileText(const std::vector<InstrumentUsage>& instruments);
std::vector<InstrumentUsage> parseUsageFile(std::string_view text, std::size_t& damagedLines);
std::vector<InstrumentUsage> parseUsageFile(std::string_view text);

// "12.25" for 12 h 15 min: hours with two decimals, always with a point.
std::string hoursText(std::int64_t seconds);

} // namespace kqvdr
