#include "UsageTracker.h"

#include "ClockSeconds.h"
#include "FileReplace.h"
#include "InstrumentState.h"
#include "OperatingMode.h"
#include "Utf8Path.h"

#include <cstdio>

namespace kqvdr {
namespace {

constexpr std::size_t kLargestFile = 1024 * 1024;

std::string isoDate(const LocalTime& time) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", time.year, time.month, time.day);
    return text;
}

} // namespace

UsageTracker::UsageTracker(const InstrumentState& state, const Clock& clock,
                           std::filesystem::path file)
    : state_(state), clock_(clock), file_(std::move(file)) {}

std::string UsageTracker::pathText() const {
    return utf8FromPath(file_);
}

void UsageTracker::report(const std::string& text) {
    if (reportProblem_) {
        reportProblem_(text);
    }
}

bool UsageTracker::load() {
    std::string text;
    const std::error_code error = readWholeFile(file_, text, kLargestFile);
    if (error == std::errc::no_such_file_or_directory) {
        return true;
    }
    std::size_t damaged = 0;
    if (!error) {
        instruments_ = parseUsageFile(text, damaged);
    }
    if (error || damaged > 0) {
        // Set before the report: ticks run on inside the message and may try to save.
        keepFile_ = true;
        const std::string reason =
            error
                ? error.message()
                : std::to_string(damaged) + (damaged == 1 ? " line is" : " lines are") + " damaged";
        report("\nThe usage counters in \"" + pathText() + "\" cannot be read (" + reason +
               ").\n\nThe file is left as it is. Use is counted from now on and shown, but not "
               "saved.\n");
        return false;
    }
    return true;
}

std::error_code UsageTracker::save() {
    if (keepFile_) {
        return std::make_error_code(std::errc::permission_denied);
    }
    if (!dirty_) {
        return {};
    }
    if (const auto error = replaceFileContent(file_, usageFileText(instruments_))) {
        // Still dirty: the next minute tries again, without telling again.
        if (!saveFailureReported_) {
            saveFailureReported_ = true;
            report("\nThe usage counters cannot be saved to \"" + pathText() + "\" (" +
                   error.message() +
                   ").\n\nThey are kept in memory and saved as soon as the file can be written.\n");
        }
        return error;
    }
    dirty_ = false;
    saveFailureReported_ = false;
    return {};
}

InstrumentUsage* UsageTracker::current() {
    if (answeringSince_ < 0 || !lastTick_ || *lastTick_ - answeringSince_ < kSettleSeconds) {
        return nullptr;
    }
    const int id = state_.deviceId();
    for (InstrumentUsage& usage : instruments_) {
        if (usage.deviceId == id) {
            return &usage;
        }
    }
    instruments_.push_back({});
    instruments_.back().deviceId = id;
    instruments_.back().firstUse = isoDate(clock_.now());
    dirty_ = true;
    return &instruments_.back();
}

void UsageTracker::tickEnded(const LocalTime& time) {
    const std::int64_t now = utcSeconds(time);
    const std::int64_t step = lastTick_ ? now - *lastTick_ : 0;
    lastTick_ = now;
    if (!state_.answering()) {
        answeringSince_ = -1;
        busy_ = false;
        return;
    }
    if (answeringSince_ < 0) {
        answeringSince_ = now;
    }
    InstrumentUsage* usage = current();
    if (usage == nullptr) {
        return;
    }
    if (step > 0 && step <= kLongestStepSeconds) {
        const int mode = state_.mode();
        // Only a counter that moved makes the file due: an idle instrument costs no writes.
        if (mode == modeCode(OperatingMode::Run)) {
            usage->runSeconds += step;
            dirty_ = true;
        } else if (mode == modeCode(OperatingMode::GasSave)) {
            usage->gasSaveSeconds += step;
            dirty_ = true;
        }
        if (state_.heaterOnFlag) {
            usage->heaterSeconds += step;
            dirty_ = true;
        }
    }
    if (state_.busyFlag && !busy_) {
        ++usage->autozeroCount;
        dirty_ = true;
    }
    busy_ = state_.busyFlag;
    if (now - lastSave_ >= kSaveIntervalSeconds || now < lastSave_) {
        lastSave_ = now;
        save();
    }
}

void UsageTracker::record(const AuditEvent& event) {
    if (event.kind != AuditEventKind::FaultReported) {
        return;
    }
    if (InstrumentUsage* usage = current()) {
        ++usage->faults[event.subject];
        dirty_ = true;
    }
}

} // namespace kqvdr
