#include "AuditTrail.h"

#include "AuditLine.h"
#include "Clock.h"
#include "FileTail.h"

#include <limits>
#include <optional>

namespace kqvdr {
namespace {

// The chain needs only the last line; a trail of years need not be read whole for it.
constexpr std::size_t kTailBytes = 64 * 1024;

struct Tail {
    std::string lastHash{kAuditGenesisHash};
    std::uint64_t sequence = 0;
    bool endsWithLineBreak = true;
    std::optional<std::size_t> cutOffBytes; // the last line is not a whole audit line
};

// The last well-formed line of the file. A half-written last line (a power cut) is left where it
// is, and the chain goes on from the line before it.
std::error_code readTail(const std::filesystem::path& path, Tail& tail) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return error;
    }
    FileTail fileTail;
    if (const auto readError = readFileTail(path, kTailBytes, fileTail)) {
        return readError;
    }
    tail.endsWithLineBreak = fileTail.endsWithLineBreak;
    // Also when its line break is there: the start that added it may not have got further.
    if (!fileTail.lines.empty() && !fileTail.lines.back().empty() &&
        !parseAuditLine(fileTail.lines.back())) {
        tail.cutOffBytes = fileTail.lines.back().size();
    }
    for (auto line = fileTail.lines.rbegin(); line != fileTail.lines.rend(); ++line) {
        if (const auto parts = parseAuditLine(*line)) {
            tail.lastHash = std::string(parts->hash);
            tail.sequence = parts->sequence;
            break;
        }
    }
    return {};
}

} // namespace

AuditTrail::AuditTrail(std::filesystem::path file, const Clock& clock, std::string user,
                       FailureReport reportFailure)
    : path_(std::move(file)), clock_(clock), user_(std::move(user)),
      reportFailure_(std::move(reportFailure)) {}

std::string AuditTrail::open() {
    Tail tail;
    if (const auto error = readTail(path_, tail)) {
        return error.message();
    }
    // A forged last number would wrap the next line round to 0 and hide everything after it.
    if (tail.sequence == std::numeric_limits<std::uint64_t>::max()) {
        return "its last line is numbered " + std::to_string(tail.sequence) +
               ", after which the chain cannot go on";
    }
    std::error_code exists;
    const bool existing = std::filesystem::exists(path_, exists);
    if (const auto error =
            file_.open(path_, existing ? LogFile::Mode::Existing : LogFile::Mode::Fresh)) {
        return error.message();
    }
    if (!tail.endsWithLineBreak) {
        if (const auto error = file_.append("\n")) {
            file_.close();
            return error.message();
        }
    }
    lastHash_ = tail.lastHash;
    sequence_ = tail.sequence;
    if (tail.cutOffBytes) {
        // Said in the chain itself, right after the cut line, so the verifier can tell a power
        // cut from damage: the record takes the number the cut line was to carry.
        append({AuditEventKind::AuditLineCutOff, std::to_string(sequence_ + 1),
                auditCutOffBytesText(*tail.cutOffBytes), ""});
    }
    return {};
}

void AuditTrail::fail(const std::string& reason) {
    ++notRecorded_;
    if (failureReported_) {
        return;
    }
    // Set first: the report may run ticks that record further events.
    failureReported_ = true;
    if (reportFailure_) {
        reportFailure_(reason);
    }
}

bool AuditTrail::append(const AuditEvent& event) {
    if (sequence_ == std::numeric_limits<std::uint64_t>::max()) {
        fail("the chain has reached its last number");
        return false;
    }
    const std::string text =
        auditText(sequence_ + 1, clock_.now(), actingUser_.empty() ? user_ : actingUser_, event);
    const std::string hash = chainHash(lastHash_, text);
    if (const auto error = file_.append(text + '\t' + hash + '\n')) {
        fail(error.message());
        return false;
    }
    ++sequence_;
    lastHash_ = hash;
    return true;
}

void AuditTrail::record(const AuditEvent& event) {
    if (!file_.isOpen()) {
        if (const std::string reason = open(); !reason.empty()) {
            fail(reason);
            return;
        }
    }
    // The gap is marked as soon as lines reach the disk again, before the event that follows it.
    if (notRecorded_ > 0) {
        const std::uint64_t lost = notRecorded_;
        // A failed marker counts once more: for the event it was to precede.
        if (!append({AuditEventKind::EventsNotRecorded, std::to_string(lost), "", ""})) {
            return;
        }
        notRecorded_ -= lost;
    }
    append(event);
}

} // namespace kqvdr
