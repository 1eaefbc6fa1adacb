#include "SessionRecords.h"

#include "AutomationRunner.h"
#include "Clock.h"
#include "MethodStore.h"
#include "OperationalLog.h"
#include "StatusPoll.h"

namespace kqvdr {

SessionRecords::SessionRecords(const InstrumentState& state, SerialDriver& driver,
                               const Clock& clock, const std::filesystem::path& dataDir,
                               std::string user, AuditTrail::FailureReport reportFailure)
    : driver_(driver, state),
      trail_(dataDir / kAuditFile, clock, std::move(user), std::move(reportFailure)),
      usage_(state, clock, dataDir / kUsageFile), trends_(state), clock_(clock) {
    driver_.setAuditSink(this);
}

void SessionRecords::attach(StatusPoll& poll, MethodStore& methods, OperationalLog& log,
                            AutomationRunner& automation) {
    poll.setAuditSink(this);
    methods.setAuditSink(this);
    log.setAuditSink(this);
    automation.setAuditSink(this);
}

void SessionRecords::programStarted() {
    usage_.load();
    record({AuditEventKind::ProgramStarted, "", "", ""});
}

void SessionRecords::programExiting() {
    record({AuditEventKind::ProgramExited, "", "", ""});
    usage_.save();
}

bool SessionRecords::tickEnded() {
    // One reading of the clock serves both: it is the costliest part of a quiet tick.
    const LocalTime now = clock_.now();
    driver_.tickEnded();
    usage_.tickEnded(now);
    return trends_.tickEnded(now);
}

void SessionRecords::record(const AuditEvent& event) {
    trail_.record(event);
    usage_.record(event);
}

} // namespace kqvdr
