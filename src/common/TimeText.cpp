#include "TimeText.h"

#include "NumberText.h"

#include <cstdio>
#include <optional>

namespace kqvdr {
namespace {

constexpr int kSecondsPerDay = 24 * 60 * 60;

std::optional<int> secondsOfDay(std::string_view text) {
    if (text.size() > 9) {
        return std::nullopt;
    }
    int fields[3] = {0, 0, 0};
    int fieldCount = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = text.find(':', start);
        const auto field =
            text.substr(start, colon == std::string_view::npos ? text.npos : colon - start);
        if (field.size() > 2 || fieldCount == 3) {
            return std::nullopt;
        }
        fields[fieldCount++] = parseLeadingInt(field);
        if (colon == std::string_view::npos) {
            break;
        }
        start = colon + 1;
    }
    return fields[0] * 3600 + fields[1] * 60 + fields[2];
}

} // namespace

std::string timeText(const LocalTime& time) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", time.hour % 100, time.minute % 100,
                  time.second % 100);
    return buffer;
}

std::string currentTimeText(const Clock& clock) {
    return timeText(clock.now());
}

ElapsedTime elapsedTime(std::string_view earlier, std::string_view later) {
    const auto from = secondsOfDay(earlier);
    const auto to = secondsOfDay(later);
    if (!from || !to) {
        return {};
    }
    const int seconds = ((*to - *from) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%1d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return {seconds, buffer};
}

} // namespace kqvdr
