#pragma once

#include <string>

namespace kqvdr {

// The subsystems that the poll hands each tick to, in this order: the operational log, then
// the automation runner or else the system-test runner.
class OperationalLogChannel {
public:
    virtual ~OperationalLogChannel() = default;
    virtual bool loggingActive() const = 0;
    // Writes one state line now, carrying the current error code.
    virtual void writeLineNow() = 0;
    // Closes the log file and clears loggingActive; `reason` goes to the audit trail.
    virtual void stopLogging(const std::string& reason) = 0;
    virtual void tick() = 0;
};

class TickRunner {
public:
    virtual ~TickRunner() = default;
    virtual bool running() const = 0;
    virtual void tick() = 0;
};

// Stand-ins for a poll without a log, automation or system test: never active.
class InactiveLog final : public OperationalLogChannel {
public:
    bool loggingActive() const override { return false; }
    void writeLineNow() override {}
    void stopLogging(const std::string&) override {}
    void tick() override {}
};

class InactiveRunner final : public TickRunner {
public:
    bool running() const override { return false; }
    void tick() override {}
};

} // namespace kqvdr
