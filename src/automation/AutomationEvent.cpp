#include "AutomationEvent.h"

namespace kqvdr {

void AutomationTable::setTimetable(const Timetable& timetable) {
    for (int number = 1; number <= kAutomationEventCount; ++number) {
        event(number) = timetable[static_cast<std::size_t>(number - 1)];
    }
}

std::string dayName(int weekday) {
    constexpr std::array<const char*, 7> bySundayFirst = {"SUN", "MON", "TUE", "WED",
                                                          "THU", "FRI", "SAT"};
    return weekday >= 0 && weekday < 7 ? bySundayFirst[static_cast<std::size_t>(weekday)] : "";
}

std::optional<int> eventModeCode(std::string_view word) {
    for (std::size_t code = 0; code < kEventModes.size(); ++code) {
        if (word == kEventModes[code]) {
            return static_cast<int>(code);
        }
    }
    return std::nullopt;
}

AutomationEvent defaultEvent() {
    return {"", kUnsetEventTime, "STANDBY", "1"};
}

Timetable defaultTimetable() {
    Timetable timetable;
    timetable.fill(defaultEvent());
    return timetable;
}

} // namespace kqvdr
