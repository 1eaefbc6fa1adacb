#pragma once

#include "AuditSink.h"
#include "LogFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace kqvdr {

class Clock;

inline constexpr const char* kAuditFile = "audit.log";

// Appends every event as one chained line to audit.log, synced to the disk before record()
// returns. Lines already in the file are never rewritten: a new run continues the chain from
// the file's last line. A write that fails is reported once; later events are still tried, and
// the chain continues from the last line that reached the disk, so a failure never breaks it.
// Events that could not be written are counted, and the count is written as one line of its
// own as soon as writing works again. A chain whose last number cannot be incremented is not
// continued.
class AuditTrail final : public AuditSink {
public:
    using FailureReport = std::function<void(const std::string& reason)>;

    AuditTrail(std::filesystem::path file, const Clock& clock, std::string user,
               FailureReport reportFailure);

    void record(const AuditEvent& event) override;

    // Events are recorded under this user instead of the one the trail was made with (a remote
    // client's commands, for instance); an empty name goes back to that one.
    void setActingUser(std::string user) { actingUser_ = std::move(user); }
    const std::string& actingUser() const { return actingUser_; }

    const std::filesystem::path& path() const { return path_; }
    std::uint64_t lastSequence() const { return sequence_; }

private:
    // The reason when the trail cannot be continued; empty when it is open.
    std::string open();
    bool append(const AuditEvent& event);
    void fail(const std::string& reason);

    std::filesystem::path path_;
    const Clock& clock_;
    std::string user_;
    std::string actingUser_;
    FailureReport reportFailure_;
    LogFile file_;
    std::string lastHash_;
    std::uint64_t sequence_ = 0;
    std::uint64_t notRecorded_ = 0;
    bool failureReported_ = false;
};

} // namespace kqvdr
