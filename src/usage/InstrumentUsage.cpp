#include "InstrumentUsage.h"

#include <charconv>
#include <cstdio>

namespace kqvdr {
namespace {

bool parseNumber(std::string_view text, std::int64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// Printable text, as every line the program writes is; a block of NULs or other binary is not.
bool textLine(std::string_view line) {
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            return false;
        }
    }
    return true;
}

std::int64_t* counterOf(InstrumentUsage& usage, std::string_view key) {
    if (key == "run-seconds") {
        return &usage.runSeconds;
    }
    if (key == "gas-save-seconds") {
        return &usage.gasSaveSeconds;
    }
    if (key == "heater-seconds") {
        return &usage.heaterSeconds;
    }
    if (key == "autozero-count") {
        return &usage.autozeroCount;
    }
    return nullptr;
}

} // namespace

std::string usageFileText(const std::vector<InstrumentUsage>& instruments) {
    std::string text;
    for (const InstrumentUsage& usage : instruments) {
        text += "instrument " + std::to_string(usage.deviceId) + "\n";
        text += "first-use " + usage.firstUse + "\n";
        text += "run-seconds " + std::to_string(usage.runSeconds) + "\n";
        text += "gas-save-seconds " + std::to_string(usage.gasSaveSeconds) + "\n";
        text += "heater-seconds " + std::to_string(usage.heaterSeconds) + "\n";
        text += "autozero-count " + std::to_string(usage.autozeroCount) + "\n";
        for (const auto& [code, count] : usage.faults) {
            text += "fault " + code + " " + std::to_string(count) + "\n";
        }
    }
    return text;
}

std::vector<InstrumentUsage> parseUsageFile(std::string_view text) {
    std::size_t damaged = 0;
    return parseUsageFile(text, damaged);
}

std::vector<InstrumentUsage> parseUsageFile(std::string_view text, std::size_t& damagedLines) {
    damagedLines = 0;
    std::vector<InstrumentUsage> instruments;
    bool inBlock = false;      // lines after a damaged "instrument" line belong to no instrument
    bool damagedBlock = false; // and are lost with it
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const std::size_t blank = line.find(' ');
        const std::string_view key = line.substr(0, blank);
        const std::string_view value =
            blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        std::int64_t number = 0;
        if (line.empty()) {
            continue;
        }
        if (!textLine(line)) {
            ++damagedLines;
            continue;
        }
        if (key == "instrument") {
            inBlock = parseNumber(value, number) && number <= 127;
            damagedBlock = !inBlock;
            if (inBlock) {
                instruments.push_back({});
                instruments.back().deviceId = static_cast<int>(number);
            } else {
                ++damagedLines;
            }
            continue;
        }
        if (!inBlock) {
            if (damagedBlock) {
                ++damagedLines;
            }
            continue;
        }
        InstrumentUsage& usage = instruments.back();
        if (key == "first-use") {
            usage.firstUse = std::string(value);
        } else if (key == "fault") {
            const std::size_t split = value.find(' ');
            if (split != std::string_view::npos && parseNumber(value.substr(split + 1), number)) {
                usage.faults[std::string(value.substr(0, split))] = number;
            } else {
                ++damagedLines;
            }
        } else if (std::int64_t* counter = counterOf(usage, key)) {
            if (parseNumber(value, number)) {
                *counter = number;
            } else {
                ++damagedLines;
            }
        }
    }
    return instruments;
}

std::string hoursText(std::int64_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds % 3600 * 100 / 3600));
    return text;
}

} // namespace kqvdr
