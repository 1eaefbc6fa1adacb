#include "AutomationTexts.h"

#include <algorithm>
#include <cstdio>

namespace kqvdr {
namespace {

std::string twoDigits(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", number);
    return text;
}

bool isSet(const AutomationEvent& event) {
    return event.eventTime != kUnsetEventTime;
}

} // namespace

std::string currentEventLine(const AutomationTable& table) {
    const int number = std::clamp(table.currentEventNumber, 0, kAutomationEventCount);
    const std::string end =
        number < kAutomationEventCount ? table.event(number + 1).eventTime : kUnsetEventTime;
    const AutomationEvent& applied = table.event(0);
    return "    " + twoDigits(number) + "       " + table.event(number).eventTime + "      " + end +
           "       " + applied.eventMode + "  ( " + applied.eventMethod + " )";
}

std::string eventSummary(const AutomationTable& table, int number) {
    const AutomationEvent& event = table.event(number);
    if (!isSet(event)) {
        return "END";
    }
    std::string line = twoDigits(number) + "\t" + event.eventDay + "\t" + event.eventTime;
    if (number < kAutomationEventCount && isSet(table.event(number + 1))) {
        line += "\t" + table.event(number + 1).eventTime + "\t";
    } else {
        line += "\tEND\t";
    }
    return line + event.eventMode + " ( " + event.eventMethod + " )";
}

std::string automationInformation(const AutomationTable& table) {
    std::string text = "\nAutomation Sequence :-\n\nEvent\tDay\tStart\tEnd\tMode (Method)\t \n\n";
    for (int number = 1; number <= kAutomationEventCount; ++number) {
        const std::string summary = eventSummary(table, number);
        if (summary == "END") {
            break;
        }
        text += summary + "\n";
    }
    return text;
}

} // namespace kqvdr
