#include "AutomationChecks.h"

#include "AutomationEvent.h"
#include "NumberText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

namespace kqvdr {
namespace {

// The numbers of a text read as a sequence of blank-separated decimal fields, stopping at the
// first field that is not a number, at most `limit` of them.
std::vector<long> leadingNumbers(std::string_view text, std::size_t limit) {
    std::vector<long> numbers;
    std::size_t at = 0;
    while (numbers.size() < limit) {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
            ++at;
        }
        const std::size_t start = at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            ++at;
        }
        long value = 0;
        bool digits = false;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            value = std::min(value * 10 + (text[at] - '0'), 1'000'000L);
            digits = true;
            ++at;
        }
        if (!digits) {
            break;
        }
        numbers.push_back(text[start] == '-' ? -value : value);
    }
    return numbers;
}

} // namespace

std::optional<std::string> checkedEventTime(std::string_view text) {
    if (text == kUnsetEventTime) {
        return std::string(kUnsetEventTime);
    }
    std::string blanked(text);
    std::replace(blanked.begin(), blanked.end(), ':', ' ');
    const std::vector<long> numbers = leadingNumbers(blanked, 2);
    const long hours = numbers.empty() ? 0 : numbers[0];
    const long minutes = numbers.size() < 2 ? 0 : numbers[1];
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59) {
        return std::nullopt;
    }
    char formatted[8];
    std::snprintf(formatted, sizeof formatted, "%02ld:%02ld", hours, minutes);
    return std::string(formatted);
}

CheckedMethod checkedEventMethod(std::string_view text) {
    constexpr int kHighestUserMethod = 10;
    const int value = parseLeadingInt(text);
    if (value <= 0) {
        return {1, true};
    }
    if (value > kHighestUserMethod) {
        return {kHighestUserMethod, true};
    }
    return {value, false};
}

} // namespace kqvdr
