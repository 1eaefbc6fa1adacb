#include "SystemTestRunner.h"

#include "AuditSink.h"
#include "Clock.h"
#include "EventCommands.h"
#include "InstrumentState.h"
#include "OperatingMode.h"

namespace kqvdr {

SystemTestRunner::SystemTestRunner(InstrumentState& state, SerialDriver& driver, const Clock& clock,
                                   AutomationTable& table)
    : state_(state), driver_(driver), clock_(clock), table_(table) {}

void SystemTestRunner::tick() {
    // Ticks nested in a window that applying a step opened wait until the step is done.
    if (applying_) {
        return;
    }
    endedThisTick_ = false;
    const LocalTime now = clock_.now();
    if (nextTestStep_ > kAutomationEventCount) {
        end(true);
        return;
    }
    if (nextTestStep_ == 1) {
        table_.currentEventNumber = 1;
        table_.event(0) = table_.event(1);
    }
    const AutomationEvent& step = table_.event(nextTestStep_);
    if (const auto due = schedule_.dueBy({}, step.eventTime, true, now)) {
        apply(nextTestStep_, *due);
    } else if (step.eventTime == kUnsetEventTime) {
        end(true);
    }
    if (!endedThisTick_ && testRunning_ &&
        (state_.mode() == modeCode(OperatingMode::Error) || state_.commErrorActive)) {
        end(false);
    }
}

void SystemTestRunner::apply(int number, std::int64_t dueAt) {
    // A step is applied once: the counter moves on before the test log is opened, which may
    // show a message inside which ticks run on.
    applying_ = true;
    ++nextTestStep_;
    schedule_.fired(dueAt);
    const AutomationEvent step = table_.event(number);
    table_.currentEventNumber = number;
    table_.event(0) = step;
    const bool logOpened = number != 1 || !hooks_.firstStep || hooks_.firstStep();
    applying_ = false;
    if (!logOpened) {
        end(false); // a night without its log would prove nothing
        return;
    }
    sendEventMode(driver_, state_, step);
    if (step.eventMode == "SLEEP") {
        end(true);
        return;
    }
    sendEventMethod(driver_, state_, step);
}

void SystemTestRunner::end(bool completed) {
    endedThisTick_ = true;
    nextTestStep_ = 1;
    if (completed) {
        testCompleted_ = true;
    }
    halt();
    if (hooks_.endTest) {
        hooks_.endTest();
    }
}

void SystemTestRunner::start() {
    nextTestStep_ = 1;
    schedule_.restart(clock_.now());
    testRunning_ = true;
    reportAudit(audit_, {AuditEventKind::SystemTestStarted, "", "", ""});
}

void SystemTestRunner::halt() {
    if (testRunning_) {
        reportAudit(audit_, {AuditEventKind::SystemTestEnded, "", "",
                             testCompleted_ ? "completed" : "stopped"});
    }
    testRunning_ = false;
}

} // namespace kqvdr
