#pragma once

#include "AuditSink.h"
#include "InstrumentUsage.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kqvdr {

class Clock;
struct LocalTime;
struct InstrumentState;

// Counts the instrument's use from the poll: time in Run and Gas Save and with the heater on,
// autozero runs and faults by kind, per device identification. Time is taken from the clock,
// not from counting ticks, and only while the instrument answers. The file is replaced whole
// (temporary file and rename), at most once a minute and at exit, so a crash loses at most a
// minute and never leaves half a file. A file that exists but cannot be read (unreadable,
// damaged, too large, not a plain file) is never saved over: counting goes on in memory, and the
// operator is told once. A save that fails is told once, until one succeeds again.
class UsageTracker final : public AuditSink {
public:
    // Receives the text of a message for the operator.
    using ProblemReport = std::function<void(const std::string& text)>;

    static constexpr std::int64_t kSaveIntervalSeconds = 60;
    // The instrument's identification is trusted once it has answered this long.
    static constexpr std::int64_t kSettleSeconds = 3;
    // A longer gap between ticks (a suspended computer, a clock set forward) counts nothing.
    static constexpr std::int64_t kLongestStepSeconds = 10;

    UsageTracker(const InstrumentState& state, const Clock& clock, std::filesystem::path file);

    void onProblem(ProblemReport report) { reportProblem_ = std::move(report); }

    // The counters kept so far; a missing file means none. False when it cannot be read, after
    // the report; the file is then left as it is for good.
    bool load();
    // `now` is the clock's time at the end of this tick.
    void tickEnded(const LocalTime& now);
    // Writes the file now when anything changed. An empty error code means success; a file that
    // could not be loaded is not written (permission_denied).
    std::error_code save();

    // Faults reported by the poll.
    void record(const AuditEvent& event) override;

    const std::vector<InstrumentUsage>& instruments() const { return instruments_; }

private:
    InstrumentUsage* current();
    void report(const std::string& text);
    std::string pathText() const;

    const InstrumentState& state_;
    const Clock& clock_;
    std::filesystem::path file_;
    std::vector<InstrumentUsage> instruments_;
    std::optional<std::int64_t> lastTick_;
    std::int64_t lastSave_ = 0;
    std::int64_t answeringSince_ = -1;
    bool busy_ = false;
    bool dirty_ = false;
    bool keepFile_ = false; // it exists and could not be read: never saved over
    bool saveFailureReported_ = false;
    ProblemReport reportProblem_;
};

} // namespace kqvdr
