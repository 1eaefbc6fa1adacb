#pragma once

#include <string>

namespace kqvdr {

// What the audit trail records. Commands to the instrument are seen on the wire; the rest is
// reported by the part of the program where it happens.
enum class AuditEventKind {
    ProgramStarted,
    ProgramExited,
    ModeCommand,
    MethodSelected,
    MethodDownloaded,
    HeaterCommand,
    AutozeroCommand,
    DeviceIdCommand,
    VapourSensitivityCommand,
    PortOpened,
    MethodFileSaved,
    MethodFileLoaded,
    FaultReported,
    FaultCleared,
    CommunicationError,
    LogStarted,
    LogStopped,
    AutomationStarted,
    AutomationEnded,
    SystemTestStarted,
    SystemTestEnded,
    EventsNotRecorded,  // events lost while the trail could not be written, counted
    AuditLineCutOff,    // the last line was cut off while being written: a power cut
    SystemTestCutShort, // found at start: a test ended without sending the methods back
    AutomationCutShort, // found at start: an automation ended without its stop
    RemoteLogin,        // a remote client logged in: the user and role
    RemoteLoginFailed,  // a wrong name or password, or a login for another server
    RemoteLockout,      // too many failed logins: the name or address locked out
    RemoteLogout,
    RemoteUserAdded, // the users file changed from the command line
    RemoteUserRemoved,
    RemotePasswordChanged,
    RemoteLocked,      // a client locked the server for its own use: who, and the timeout
    RemoteUnlocked,    // the lock ended: by its client, by its timeout or at the panel
    RemoteLockRefused, // a call refused because another client holds the lock
};

struct AuditEvent {
    AuditEventKind kind;
    std::string subject;  // what it concerns: a file name, a fault code, a method number
    std::string oldValue; // empty when there is none
    std::string newValue;
};

// Receives each event as it happens. The parts that report events hold a pointer that is null
// when nobody listens, so a session without an audit trail behaves exactly as before.
class AuditSink {
public:
    virtual ~AuditSink() = default;
    virtual void record(const AuditEvent& event) = 0;
};

inline void reportAudit(AuditSink* sink, AuditEvent event) {
    if (sink != nullptr) {
        sink->record(event);
    }
}

} // namespace kqvdr
