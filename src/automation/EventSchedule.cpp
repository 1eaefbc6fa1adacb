#include "EventSchedule.h"

#include "AutomationEvent.h"

#include <charconv>

namespace kqvdr {
namespace {

constexpr std::int64_t kDay = 86400;

std::optional<int> twoDigits(std::string_view text, int limit) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.size() != 2 || value < 0 ||
        value > limit) {
        return std::nullopt;
    }
    return value;
}

// Seconds into the day of an "HH:MM" text.
std::optional<std::int64_t> secondOfDay(const std::string& eventTime) {
    if (eventTime.size() != 5 || eventTime[2] != ':') {
        return std::nullopt;
    }
    const auto hour = twoDigits(std::string_view(eventTime).substr(0, 2), 23);
    const auto minute = twoDigits(std::string_view(eventTime).substr(3, 2), 59);
    if (!hour || !minute) {
        return std::nullopt;
    }
    return std::int64_t{*hour} * 3600 + std::int64_t{*minute} * 60;
}

std::optional<int> weekdayNamed(const std::string& eventDay) {
    for (int weekday = 0; weekday < 7; ++weekday) {
        if (dayName(weekday) == eventDay) {
            return weekday;
        }
    }
    return std::nullopt;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a >= 0 ? a / b : (a - b + 1) / b;
}

} // namespace

std::optional<std::int64_t> EventSchedule::nextOccurrence(const std::string& eventDay,
                                                          const std::string& eventTime, bool anyDay,
                                                          std::int64_t from) {
    const auto ofDay = secondOfDay(eventTime);
    const auto weekday = anyDay ? std::optional<int>(0) : weekdayNamed(eventDay);
    if (!ofDay || !weekday) {
        return std::nullopt;
    }
    const std::int64_t firstDay = floorDiv(from, kDay);
    for (std::int64_t day = firstDay; day <= firstDay + 7; ++day) {
        const std::int64_t at = day * kDay + *ofDay;
        // 1970-01-01, day 0, was a Thursday.
        const bool onItsDay = anyDay || (day % 7 + 7 + 4) % 7 == *weekday;
        if (at >= from && onItsDay) {
            return at;
        }
    }
    return std::nullopt;
}

std::optional<std::int64_t> EventSchedule::dueBy(const std::string& eventDay,
                                                 const std::string& eventTime, bool anyDay,
                                                 const LocalTime& now) const {
    const auto due = nextOccurrence(eventDay, eventTime, anyDay, awaitFrom_);
    if (due && *due <= localSeconds(now)) {
        return due;
    }
    return std::nullopt;
}

} // namespace kqvdr
