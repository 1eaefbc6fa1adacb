#pragma once

#include "AuditSink.h"
#include "AuditTrail.h"
#include "AuditedSerialDriver.h"
#include "OperatingSystemUser.h"
#include "TrendRecorder.h"
#include "UsageTracker.h"

#include <filesystem>
#include <string>

namespace kqvdr {

class AutomationRunner;
class Clock;
class MethodStore;
class OperationalLog;
class SerialDriver;
class StatusPoll;
struct InstrumentState;

// What the program keeps beside the instrument's own work: the audit trail, the usage counters
// and the trends. The parts that report events are attached here once; every event goes to the
// trail and the counters, and the end of each tick moves the counters and the trends on.
class SessionRecords final : public AuditSink {
public:
    SessionRecords(const InstrumentState& state, SerialDriver& driver, const Clock& clock,
                   const std::filesystem::path& dataDir, std::string user,
                   AuditTrail::FailureReport reportFailure);

    // Commands sent through this driver are audited.
    SerialDriver& driver() { return driver_; }
    void attach(StatusPoll& poll, MethodStore& methods, OperationalLog& log,
                AutomationRunner& automation);

    // Where a usage file that cannot be read or saved is told.
    void onUsageProblem(UsageTracker::ProblemReport report) { usage_.onProblem(std::move(report)); }

    void programStarted();
    void programExiting();
    // True when a trend sample was taken.
    bool tickEnded();

    void record(const AuditEvent& event) override;
    // Who the trail names for the events that follow; empty for the person at the panel.
    void setActingUser(std::string user) { trail_.setActingUser(std::move(user)); }
    const std::string& actingUser() const { return trail_.actingUser(); }

    const AuditTrail& trail() const { return trail_; }
    const UsageTracker& usage() const { return usage_; }
    const TrendRing& trends() const { return trends_.ring(); }

private:
    AuditedSerialDriver driver_;
    AuditTrail trail_;
    UsageTracker usage_;
    TrendRecorder trends_;
    const Clock& clock_;
};

} // namespace kqvdr
