#include "OperationalLog.h"

#include "AuditSink.h"
#include "Clock.h"
#include "ClockSeconds.h"
#include "FileIdentity.h"
#include "FileReplace.h"
#include "InstrumentState.h"
#include "Operator.h"
#include "PortName.h"
#include "SaveLogPath.h"
#include "Utf8Path.h"

#include <algorithm>
#include <array>

namespace kqvdr {
namespace {

constexpr const char* kAlreadyActive = "The Operational Log is already active.";
constexpr const char* kOpenError =
    "\nError Opening Operational Log File\n\nNo Data will be logged.\n ";
constexpr const char* kStarted = "The Operational Log has been started and data will be logged.";
constexpr const char* kStopped = "The Operational Log has been stopped";
constexpr const char* kSaveInvalid =
    "\nError Saving File\n\nThe path and filename you provided were not valid.\n ";
constexpr const char* kNotStarted = "\nAn Operational Log has not been started.";
constexpr const char* kSaveOverItself =
    "\nError Saving File\n\nThe current operational log cannot be saved over itself.\n\nPlease "
    "choose a different path or file name.\n ";

constexpr const char* kReadOnlyTarget =
    "\nError Saving File\n\nThe file you chose is read-only.\n\nPlease choose a different path or "
    "file name.\n ";

// A log grows by about 230 KB a day; a copy is made in memory up to this size.
constexpr std::size_t kLargestCopy = std::size_t{256} << 20;

// A file without a write permission for anyone, as a plain create would refuse it; the check
// holds for an administrator too, whom the system itself would let write.
bool readOnly(const std::filesystem::path& path) {
    std::error_code error;
    const auto permissions = std::filesystem::status(path, error).permissions();
    using std::filesystem::perms;
    return !error && (permissions & (perms::owner_write | perms::group_write |
                                     perms::others_write)) == perms::none;
}

bool holdsLines(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > 0;
}

} // namespace

OperationalLog::OperationalLog(InstrumentState& state, const Clock& clock, Operator& person,
                               std::filesystem::path programDir, std::string saveStartDirectory)
    : state_(state), clock_(clock), person_(person), programDir_(std::move(programDir)),
      saveStartDirectory_(std::move(saveStartDirectory)) {}

void OperationalLog::message(const std::string& text, MessageIcon icon) {
    person_.message(text, icon, MessageButtons::Ok);
}

std::optional<std::filesystem::path> OperationalLog::portLogPath() const {
    if (!portFromText(state_.activePort)) {
        return std::nullopt;
    }
    return programDir_ / portLogFileName(state_.activePort);
}

bool OperationalLog::openFresh(const std::optional<std::filesystem::path>& path) {
    if (!path || file_.open(*path, LogFile::Mode::Fresh)) {
        message(kOpenError, MessageIcon::Stop);
        return false;
    }
    opened(*path);
    return true;
}

void OperationalLog::opened(const std::filesystem::path& path) {
    testLogOpen_ = false;
    lastCheckedSecond_.reset();
    reportAudit(audit_, {AuditEventKind::LogStarted, utf8FromPath(path.filename()), "", ""});
}

void OperationalLog::startLoggingData() {
    if (loggingActive()) {
        message(kAlreadyActive, MessageIcon::Information);
        return;
    }
    // After a write error the lines written before are kept: a new start must not quietly
    // empty them.
    const auto path = portLogPath();
    if (path && holdsLines(*path) &&
        person_.message("\nThe operational log \"" + utf8FromPath(path->filename()) +
                            "\" holds the lines of an earlier log.\n\nStarting a new log "
                            "empties it. To keep those lines, answer No and save them first "
                            "with Save Current Log.\n\nStart a new log now?\n",
                        MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
        return;
    }
    if (!openFresh(path)) {
        return;
    }
    state_.lastErrorCode = " - ";
    recent_.prepareForNewLog();
    message(kStarted, MessageIcon::Information);
}

void OperationalLog::stopLoggingData() {
    if (!loggingActive()) {
        return;
    }
    close();
    message(kStopped, MessageIcon::Information);
}

void OperationalLog::startFreshLog() {
    close();
    if (openFresh(portLogPath())) {
        recent_.prepareForNewLog();
    }
}

std::error_code OperationalLog::openTestLog(const std::filesystem::path& path) {
    close();
    if (const std::error_code error = file_.open(path, LogFile::Mode::Fresh)) {
        return error;
    }
    opened(path);
    testLogOpen_ = true;
    return {};
}

bool OperationalLog::openExistingLog(const std::filesystem::path& path) {
    close();
    if (file_.open(path, LogFile::Mode::Existing)) {
        message(kOpenError, MessageIcon::Stop);
        return false;
    }
    opened(path);
    testLogOpen_ = true;
    return true;
}

void OperationalLog::close(const std::string& reason) {
    testLogOpen_ = false;
    if (file_.isOpen()) {
        reportAudit(audit_, {AuditEventKind::LogStopped, utf8FromPath(file_.path().filename()), "",
                             reason});
    }
    file_.close();
}

void OperationalLog::tick() {
    if (!loggingActive()) {
        return;
    }
    const LocalTime now = clock_.now();
    const std::int64_t second = utcSeconds(now);
    // The first check of a log looks at its own second only. UTC does not repeat an hour when
    // summer time ends; a clock set back simply starts the count again.
    const std::int64_t from =
        lastCheckedSecond_ && *lastCheckedSecond_ <= second ? *lastCheckedSecond_ + 1 : second;
    lastCheckedSecond_ = second;
    if (passHalfMinutes(from, second)) {
        writeLine(now);
    }
}

bool OperationalLog::passHalfMinutes(std::int64_t from, std::int64_t to) {
    // Of a long gap only its last minute matters: one line is written for it all.
    bool due = false;
    for (std::int64_t at = std::max(from, to - 60); at <= to; ++at) {
        const std::int64_t ofMinute = ((at % 60) + 60) % 60;
        if (ofMinute == 15 && !halfMinuteToggle_) {
            halfMinuteToggle_ = true;
            due = true;
        } else if (ofMinute == 45 && halfMinuteToggle_) {
            halfMinuteToggle_ = false;
            due = true;
        }
    }
    return due;
}

void OperationalLog::writeLine() {
    writeLine(clock_.now());
}

void OperationalLog::writeLine(const LocalTime& time) {
    if (!loggingActive()) {
        return;
    }
    const LogLine line = formatter_.format(state_, time);
    if (const std::error_code error = file_.append(line.fileLine)) {
        // Closed before the message: ticks run on inside it and must not report again.
        const std::string where = utf8FromPath(file_.path());
        close();
        message("\nError Writing Operational Log File\n\n" + where + "\ncould not be written (" +
                    error.message() +
                    ").\n\nLogging has been stopped. The lines written before are kept.\n ",
                MessageIcon::Stop);
        return;
    }
    recent_.store(line.displayLine);
}

void OperationalLog::saveCurrentLog() {
    close(); // before the dialog, whatever the operator then chooses
    const SaveLogChoice choice = person_.saveLogDialog(saveStartDirectory_);
    if (!choice.accepted) {
        return;
    }
    // The source is checked before the target is touched, so that an earlier file of the
    // chosen name survives a save with no log to copy.
    const std::optional<std::filesystem::path> source = portLogPath();
    std::string content;
    const std::error_code readError =
        source ? readWholeFile(*source, content, kLargestCopy)
               : std::make_error_code(std::errc::no_such_file_or_directory);
    if (readError == std::errc::no_such_file_or_directory) {
        message(kNotStarted, MessageIcon::Exclamation);
        return;
    }
    if (readError) {
        message("\nError Saving File\n\nThe operational log could not be read (" +
                    readError.message() + ").\n ",
                MessageIcon::Exclamation);
        return;
    }
    const std::filesystem::path target = pathFromUtf8(choice.fullPath);
    if (!target.is_absolute() || !target.has_filename()) {
        message(kSaveInvalid, MessageIcon::Exclamation);
        return;
    }
    if (sameFile(target, *source)) {
        message(kSaveOverItself, MessageIcon::Exclamation);
        return;
    }
    std::error_code existsError;
    if (std::filesystem::exists(target, existsError)) {
        if (readOnly(target)) {
            message(kReadOnlyTarget, MessageIcon::Exclamation);
            return;
        }
        if (person_.message("\n\"" + utf8FromPath(target) +
                                "\" already exists.\n\nDo you want to replace it?\n",
                            MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
            return;
        }
    }
    // Written beside the target and renamed over it only when complete.
    if (const auto error = replaceFileContent(target, content)) {
        const bool badPath =
            error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory;
        message(badPath ? kSaveInvalid
                        : "\nError Saving File\n\n\"" + utf8FromPath(target) +
                              "\" could not be written (" + error.message() + ").\n ",
                MessageIcon::Exclamation);
    }
}

} // namespace kqvdr
