#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kqvdr {

// One timed change of the instrument, held as text everywhere: in the editor, in "Auto.seq" and
// in the event table.
struct AutomationEvent {
    std::string eventDay;    // "MON" .. "SUN"; empty when no day was chosen
    std::string eventTime;   // "HH:MM", or kUnsetEventTime
    std::string eventMode;   // "STANDBY", "RUN", "GAS SAVE", "SLEEP"
    std::string eventMethod; // decimal 1 to 10

    bool operator==(const AutomationEvent&) const = default;
};

inline constexpr const char* kUnsetEventTime = "##:##";
inline constexpr int kAutomationEventCount = 10;

// Events 1 to 10 as the editor and the file hold them.
using Timetable = std::array<AutomationEvent, kAutomationEventCount>;

// The event table the automation and the system test share: slot 0 is the event last applied
// (or event 1 before any fires), slots 1 to 10 the timetable.
struct AutomationTable {
    std::array<AutomationEvent, kAutomationEventCount + 1> automationEvents{};
    int currentEventNumber = 0;
    int nextEventIndex = 1; // the event awaited next, 1 to 11

    AutomationEvent& event(int number) {
        return automationEvents.at(static_cast<std::size_t>(number));
    }
    const AutomationEvent& event(int number) const {
        return automationEvents.at(static_cast<std::size_t>(number));
    }
    void setTimetable(const Timetable& timetable);
};

// The day lists' items in their order, and the mode lists'.
inline constexpr std::array<const char*, 7> kEventDays = {"MON", "TUE", "WED", "THU",
                                                          "FRI", "SAT", "SUN"};
inline constexpr std::array<const char*, 4> kEventModes = {"STANDBY", "RUN", "GAS SAVE", "SLEEP"};

// The day name of a weekday number of the local calendar (0 = Sunday).
std::string dayName(int weekday);

// The operating-mode code an event's mode word selects; nothing for any other text.
std::optional<int> eventModeCode(std::string_view word);

// What the editor's Clear gives every row (the day lists then show today's day).
AutomationEvent defaultEvent();
Timetable defaultTimetable();

} // namespace kqvdr
