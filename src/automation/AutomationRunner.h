#pragma once

#include "AutomationEvent.h"
#include "EventSchedule.h"
#include "RunMarker.h"
#include "TickHandoffs.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace kqvdr {

class AuditSink;
class SerialDriver;
struct InstrumentState;

// Runs the timetable in the event table: on every tick it waits for the next event, strictly in
// timetable order, each at its minute on its weekday (or at the first tick after, when the
// program stalled or the clock jumped over it), and then sets the event's mode and method on
// the instrument. It stops after the last event, at an event that is not
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
    // From start to stop this file names the timetable and its last event fired, so that a start
    // after a power cut can say what was running.
    void keepMarker(std::filesystem::path file) { marker_.emplace(std::move(file)); }

    // The editor's Ok has filled slots 1 to 10: the run starts over at event 1.
    void start();
    // The operator's Stop Automation, and the runner's own stops.
    void stop();

private:
    // True when the runner stopped during this step.
    bool awaitNextEvent(const LocalTime& now);
    void fire(int number, std::int64_t dueAt);
    void writeMarker(const std::string& lastEvent, const std::string& lastAt);

    InstrumentState& state_;
    SerialDriver& driver_;
    const Clock& clock_;
    AutomationTable& table_;
    Hooks hooks_;
    EventSchedule schedule_;
    bool automationRunning_ = false;
    bool firing_ = false;
    AuditSink* audit_ = nullptr;
    std::optional<RunMarker> marker_;
    std::string startedAt_;
};

} // namespace kqvdr
