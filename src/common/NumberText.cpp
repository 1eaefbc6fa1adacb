#include "NumberText.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kqvdr {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

int parseLeadingInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        if (magnitude <= kLimit) {
            magnitude = magnitude * 10 + (text[pos] - '0');
        }
    }
    if (negative) {
        return static_cast<int>(-std::min(magnitude, kLimit));
    }
    return static_cast<int>(std::min(magnitude, kLimit - 1));
}

double parseLeadingDecimal(std::string_view text) {
    const std::string terminated(text);
    return std::strtod(terminated.c_str(), nullptr);
}

std::string formatDecimal(double value, int decimals) {
    char buffer[512];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    if (length < 0) {
        return {};
    }
    return std::string(buffer,
                       std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}

double roundToDecimals(double value, int decimals) {
    return parseLeadingDecimal(formatDecimal(value, decimals));
}

} // namespace kqvdr
