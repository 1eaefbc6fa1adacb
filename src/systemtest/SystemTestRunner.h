#pragma once

#include "AutomationEvent.h"
#include "EventSchedule.h"
#include "TickHandoffs.h"

#include <cstdint>
#include <functional>

namespace kqvdr {

class AuditSink;
class SerialDriver;
struct InstrumentState;

// The system test's step machine. On every tick it waits for the next step, each at its minute
// on any day (or at the first tick after, when the program stalled or the clock jumped over it),
// and sets the step's mode and method on the instrument. Step 1 opens the test log; a test whose
// log cannot be opened stops there. The test completes at a SLEEP step, at an unset step or after
// step 10; it stops when the instrument reports its error mode or the line has failed. Either end
// is handed to the same action as the operator's "Stop System Test".
class SystemTestRunner final : public TickRunner {
public:
    struct Hooks {
        // Opens the test log and starts the progress counting; false when the log cannot be
        // opened.
        std::function<bool()> firstStep;
        std::function<void()> endTest; // presses "Stop System Test"
    };

    SystemTestRunner(InstrumentState& state, SerialDriver& driver, const Clock& clock,
                     AutomationTable& table);
    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    bool running() const override { return testRunning_; }
    void tick() override;

    // The operator accepted the instrument: step 1 is awaited from now.
    void start();
    // The test end: no further steps.
    void halt();
    void setAuditSink(AuditSink* sink) { audit_ = sink; }
    bool completed() const { return testCompleted_; }
    void clearCompleted() { testCompleted_ = false; }
    int nextTestStep() const { return nextTestStep_; }
    const Clock& clock() const { return clock_; }

private:
    void apply(int number, std::int64_t dueAt);
    void end(bool completed);

    InstrumentState& state_;
    SerialDriver& driver_;
    const Clock& clock_;
    AutomationTable& table_;
    Hooks hooks_;
    EventSchedule schedule_;
    bool applying_ = false;
    bool testRunning_ = false;
    bool testCompleted_ = false;
    bool endedThisTick_ = false;
    int nextTestStep_ = 1;
    AuditSink* audit_ = nullptr;
};

} // namespace kqvdr
