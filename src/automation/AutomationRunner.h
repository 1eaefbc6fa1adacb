#pragma once

#include "AutomationEvent.h"
#include "TickHandoffs.h"

#include <functional>

namespace kqvdr {

class AuditSink;
class Clock;
class SerialDriver;
struct InstrumentState;

// Runs the timetable in the event table: on every tick it waits for the next event, strictly in
// timetable order, each in second 00 of its minute on its weekday, and then sets the event's
// mode and method on the instrument. It stops after the last event, at an event that is not
// set, and when the instrument reports its error mode or the line has failed.
class AutomationRunner final : public TickRunner {
public:
    struct Hooks {
        std::function<void()> startFreshLog;  // event 1 fires
        std::function<void()> stopped;        // the stop window goes, the main window returns
        std::function<void()> saveCurrentLog; // every stop ends the log this way
    };

    AutomationRunner(InstrumentState& state, SerialDriver& driver, const Clock& clock,
                     AutomationTable& table, Hooks hooks);

    bool running() const override { return automationRunning_; }
    void tick() override;

    // Starts and ends are reported here when set.
    void setAuditSink(AuditSink* sink) { audit_ = sink; }

    // The editor's Ok has filled slots 1 to 10.
    void start();
    // The operator's Stop Automation, and the runner's own stops.
    void stop();

private:
    // True when the runner stopped during this step.
    bool awaitNextEvent();
    void fire(int number);

    InstrumentState& state_;
    SerialDriver& driver_;
    const Clock& clock_;
    AutomationTable& table_;
    Hooks hooks_;
    bool automationRunning_ = false;
    AuditSink* audit_ = nullptr;
};

} // namespace kqvdr
