#pragma once

#include "LogFile.h"
#include "LogLine.h"
#include "Message.h"
#include "RecentLines.h"
#include "TickHandoffs.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kqvdr {

class AuditSink;
class Clock;
class Operator;
struct InstrumentState;

// The program's one log channel: the operational log of the port in use and the system test's
// log share its single open file. While it is open, a state line goes to the file in seconds 15
// and 45 of every minute and at every fault onset, and into the ring of recent lines that the
// viewer shows. Every open failure and every failed write is reported once; a failed write
// ends logging.
class OperationalLog final : public OperationalLogChannel {
public:
    // saveStartDirectory is where the Save Operational Log dialog opens.
    OperationalLog(InstrumentState& state, const Clock& clock, Operator& person,
                   std::filesystem::path programDir, std::string saveStartDirectory);

    // Every log opened and closed is reported here when set.
    void setAuditSink(AuditSink* sink) { audit_ = sink; }

    // The poll's hooks: the state line at fault onset, closing without a message, and the
    // half-minute check at the end of every tick while logging. A second 15 or 45 that no tick
    // saw (a stall, a suspend) still has its line, written late by the first tick after it.
    bool loggingActive() const override { return file_.isOpen(); }
    void writeLineNow() override { writeLine(); }
    void stopLogging(const std::string& reason) override { close(reason); }
    void tick() override;

    // The Log menu.
    void startLoggingData();
    void stopLoggingData();
    // Also what the automation runs when it ends.
    void saveCurrentLog();

    // The automation's first event: a new, empty log for the port, without a confirmation and
    // keeping the last error code.
    void startFreshLog();
    // The system test: its log at `path`, emptied; the system's reason when it cannot be created,
    // which the test reports. Any open log is closed first.
    std::error_code openTestLog(const std::filesystem::path& path);
    // The open log is the system test's, which the Log menu must leave alone.
    bool testLogOpen() const { return loggingActive() && testLogOpen_; }
    // The system test's final line goes to its existing log, which is not created when missing;
    // false (after the message) when it cannot be opened.
    bool openExistingLog(const std::filesystem::path& path);
    // One state line now, when a log is open.
    void writeLine();
    // Closes the log without a message; program exit and the runners use it. The audit trail
    // records `reason` with the closing.
    void close(const std::string& reason = {});

    // The port's operational log file, none for a text that names no port.
    std::optional<std::filesystem::path> portLogPath() const;
    const RecentLines& recentLines() const { return recent_; }
    bool halfMinuteToggle() const { return halfMinuteToggle_; }

private:
    bool openFresh(const std::optional<std::filesystem::path>& path);
    void writeLine(const LocalTime& time);
    void opened(const std::filesystem::path& path);
    // Runs the half-minute toggle over the UTC seconds from..to; true when a line is due.
    bool passHalfMinutes(std::int64_t from, std::int64_t to);
    void message(const std::string& text, MessageIcon icon);

    InstrumentState& state_;
    const Clock& clock_;
    Operator& person_;
    std::filesystem::path programDir_;
    std::string saveStartDirectory_;
    LogFile file_;
    LogLineFormatter formatter_;
    RecentLines recent_;
    bool halfMinuteToggle_ = false;
    bool testLogOpen_ = false;
    // The UTC second of the last half-minute check, none before the first check of a log.
    std::optional<std::int64_t> lastCheckedSecond_;
    AuditSink* audit_ = nullptr;
};

} // namespace kqvdr
