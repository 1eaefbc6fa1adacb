#pragma once

#include "AutomationEvent.h"
#include "TickHandoffs.h"

#include <functional>

namespace kqvdr {

class AuditSink;
class Clock;
class SerialDriver;
struct InstrumentState;

// The system test's step machine. On every tick it waits for the next step, each in second 00
// of its minute on any day, and sets the step's mode and method on the instrument. Step 1 opens
// the test log. The test completes at a SLEEP step, at an unset step or after step 10; it stops
// when the instrument reports its error mode or the line has failed. Either end is handed to
// the same action as the operator's "Stop System Test".
class SystemTestRunner final : public TickRunner {
public:
    struct Hooks {
        std::function<void()> firstStep; // opens the test log and starts the progress counting
        std::function<void()> endTest;   // presses "Stop System Test"
    };

    SystemTestRunner(InstrumentState& state, SerialDriver& driver, const Clock& clock,
                     AutomationTable& table);
    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }

    bool running() const override { return testRunning_; }
    void tick() override;

    void start();
    // The test end: no further steps.
    void halt();
    void setAuditSink(AuditSink* sink) { audit_ = sink; }
    bool completed() const { return testCompleted_; }
    void clearCompleted() { testCompleted_ = false; }
    int nextTestStep() const { return nextTestStep_; }

private:
    void apply(int number);
    void end(bool completed);

    InstrumentState& state_;
    SerialDriver& driver_;
    const Clock& clock_;
    AutomationTable& table_;
    Hooks hooks_;
    bool testRunning_ = false;
    bool testCompleted_ = false;
    bool endedThisTick_ = false;
    int nextTestStep_ = 1;
    AuditSink* audit_ = nullptr;
};

} // namespace kqvdr
