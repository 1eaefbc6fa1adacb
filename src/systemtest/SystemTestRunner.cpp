#include "SystemTestRunner.h"

#include "AuditSink.h"
#include "Clock.h"
#include "EventCommands.h"
#include "InstrumentState.h"
#include "OperatingMode.h"
#include "TimeText.h"

namespace kqvdr {

SystemTestRunner::SystemTestRunner(InstrumentState& state, SerialDriver& driver, const Clock& clock,
                                   AutomationTable& table)
    : state_(state), driver_(driver), clock_(clock), table_(table) {}

void SystemTestRunner::tick() {
    endedThisTick_ = false;
    if (table_.restartRequested) {
        table_.restartRequested = false;
        nextTestStep_ = 1;
    } else if (nextTestStep_ > kAutomationEventCount) {
        end(true);
        return;
    }
    if (nextTestStep_ == 1) {
        table_.currentEventNumber = 1;
        table_.event(0) = table_.event(1);
    }
    const AutomationEvent& step = table_.event(nextTestStep_);
    if (step.eventTime + ":00" == currentTimeText(clock_)) {
        apply(nextTestStep_);
    } else if (step.eventTime == kUnsetEventTime) {
        end(true);
    }
    if (!endedThisTick_ &&
        (state_.mode() == modeCode(OperatingMode::Error) || state_.commErrorActive)) {
        end(false);
    }
}

void SystemTestRunner::apply(int number) {
    if (number == 1 && hooks_.firstStep) {
        hooks_.firstStep();
    }
    const AutomationEvent step = table_.event(number);
    table_.currentEventNumber = number;
    table_.event(0) = step;
    sendEventMode(driver_, state_, step);
    if (step.eventMode == "SLEEP") {
        end(true);
        return;
    }
    sendEventMethod(driver_, state_, step);
    ++nextTestStep_;
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
