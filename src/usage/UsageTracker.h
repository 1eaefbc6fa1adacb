#pragma once

#include "AuditSink.h"
#include "InstrumentUsage.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace kqvdr {

class Clock;
struct LocalTime;
struct InstrumentState;

// Counts the instrument's use from the poll: time in Run and Gas Save and with the heater on,
// autozero runs and faults by kind, per device identification. Time is taken from the clock,
// not from counting ticks, and only while the instrument answers. The file is replaced whole
// (temporary file and rename), at most once a minute and at exit, so a crash loses at most a
// minute and never leaves half a file.
class UsageTracker final : public AuditSink {
public:
    static constexpr std::int64_t kSaveIntervalSeconds = 60;
    // The instrument's identification is trusted once it has answered this long.
    static constexpr std::int64_t kSettleSeconds = 3;
    // A longer gap between ticks (a suspended computer, a clock set forward) counts nothing.
    static constexpr std::int64_t kLongestStepSeconds = 10;

    UsageTracker(const InstrumentState& state, const Clock& clock, std::filesystem::path file);

    // The counters kept so far; a missing file means none. False when it cannot be read.
    bool load();
    // `now` is the clock's time at the end of this tick.
    void tickEnded(const LocalTime& now);
    // Writes the file now when anything changed. An empty error code means success.
    std::error_code save();

    // Faults reported by the poll.
    void record(const AuditEvent& event) override;

    const std::vector<InstrumentUsage>& instruments() const { return instruments_; }

private:
    InstrumentUsage* current();

    const InstrumentState& state_;
    const Clock& clock_;
    std::filesystem::path file_;
    std::vector<InstrumentUsage> instruments_;
    std::optional<std::int64_t> lastTick_;
    std::int64_t lastSave_ = 0;
    std::int64_t answeringSince_ = -1;
    bool busy_ = false;
    bool dirty_ = false;
};

} // namespace kqvdr
