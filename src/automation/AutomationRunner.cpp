#include "AutomationRunner.h"

#include "AuditSink.h"
#include "AutomationTexts.h"
#include "Clock.h"
#include "EventCommands.h"
#include "InstrumentState.h"
#include "OperatingMode.h"

#include <cstdio>

namespace kqvdr {
namespace {

std::string dayAndTime(const LocalTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

} // namespace

AutomationRunner::AutomationRunner(InstrumentState& state, SerialDriver& driver, const Clock& clock,
                                   AutomationTable& table, Hooks hooks)
    : state_(state), driver_(driver), clock_(clock), table_(table), hooks_(std::move(hooks)) {}

void AutomationRunner::tick() {
    // Ticks nested in a window that firing an event opened wait until the event is done.
    if (!automationRunning_ || firing_) {
        return;
    }
    const LocalTime now = clock_.now();
    if (table_.nextEventIndex > kAutomationEventCount) {
        stop(); // the timetable is used up
        return;
    }
    if (awaitNextEvent(now)) {
        return;
    }
    if (state_.mode() == modeCode(OperatingMode::Error) || state_.commErrorActive) {
        stop();
    }
}

bool AutomationRunner::awaitNextEvent(const LocalTime& now) {
    const int number = table_.nextEventIndex;
    if (number == 1) {
        table_.event(0) = table_.event(1);
        table_.currentEventNumber = 1;
    }
    const AutomationEvent& next = table_.event(number);
    if (const auto due = schedule_.dueBy(next.eventDay, next.eventTime, false, now)) {
        fire(number, *due);
        return false;
    }
    if (next.eventTime == kUnsetEventTime) {
        stop(); // no further event is set
        return true;
    }
    return false;
}

void AutomationRunner::fire(int number, std::int64_t dueAt) {
    firing_ = true;
    ++table_.nextEventIndex;
    schedule_.fired(dueAt);
    if (number == 1 && hooks_.startFreshLog) {
        hooks_.startFreshLog();
    }
    const AutomationEvent event = table_.event(number);
    table_.currentEventNumber = number;
    table_.event(0) = event;
    writeMarker(eventSummary(table_, number), dayAndTime(clock_.now()));
    sendEventMode(driver_, state_, event);
    sendEventMethod(driver_, state_, event);
    firing_ = false;
}

// A marker that cannot be written costs only what the next start could have said; the run
// itself goes on.
void AutomationRunner::writeMarker(const std::string& lastEvent, const std::string& lastAt) {
    if (!marker_) {
        return;
    }
    RunMarker::Fields fields{{"started", startedAt_}};
    for (int number = 1; number <= kAutomationEventCount; ++number) {
        const std::string summary = eventSummary(table_, number);
        if (summary == "END") {
            break;
        }
        fields.emplace_back("event", summary);
    }
    if (!lastEvent.empty()) {
        fields.emplace_back("last", lastEvent);
        fields.emplace_back("lastAt", lastAt);
    }
    (void)marker_->write(fields);
}

void AutomationRunner::start() {
    // Every run begins at event 1, awaited from the moment it starts.
    table_.nextEventIndex = 1;
    schedule_.restart(clock_.now());
    automationRunning_ = true;
    startedAt_ = dayAndTime(clock_.now());
    writeMarker({}, {});
    reportAudit(audit_, {AuditEventKind::AutomationStarted, "", "", ""});
}

void AutomationRunner::stop() {
    if (automationRunning_) {
        reportAudit(audit_, {AuditEventKind::AutomationEnded, "", "", ""});
    }
    automationRunning_ = false;
    table_.nextEventIndex = 1;
    if (marker_) {
        (void)marker_->remove();
    }
    if (hooks_.stopped) {
        hooks_.stopped();
    }
    if (hooks_.saveCurrentLog) {
        hooks_.saveCurrentLog();
    }
}

} // namespace kqvdr
