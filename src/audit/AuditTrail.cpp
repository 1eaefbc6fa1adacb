#include "AuditTrail.h"

#include "AuditLine.h"
#include "Clock.h"
#include "FileTail.h"

namespace kqvdr {
namespace {

// The chain needs only the last line; a trail of years need not be read whole for it.
constexpr std::size_t kTailBytes = 64 * 1024;

struct Tail {
    std::string lastHash{kAuditGenesisHash};
    std::uint64_t sequence = 0;
    bool endsWithLineBreak = true;
};

// The last well-formed line of the file. A half-written last line (a power cut) is left where it
// is; the verifier reports it, and the chain goes on from the line before it.
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

std::error_code AuditTrail::open() {
    Tail tail;
    if (const auto error = readTail(path_, tail)) {
        return error;
    }
    std::error_code exists;
    const bool existing = std::filesystem::exists(path_, exists);
    if (const auto error =
            file_.open(path_, existing ? LogFile::Mode::Existing : LogFile::Mode::Fresh)) {
        return error;
    }
    if (!tail.endsWithLineBreak) {
        if (const auto error = file_.append("\n")) {
            file_.close();
            return error;
        }
    }
    lastHash_ = tail.lastHash;
    sequence_ = tail.sequence;
    return {};
}

void AuditTrail::fail(const std::error_code& error) {
    if (failureReported_) {
        return;
    }
    // Set first: the report may run ticks that record further events.
    failureReported_ = true;
    if (reportFailure_) {
        reportFailure_(error.message());
    }
}

void AuditTrail::record(const AuditEvent& event) {
    if (!file_.isOpen()) {
        if (const auto error = open()) {
            fail(error);
            return;
        }
    }
    const std::string text = auditText(sequence_ + 1, clock_.now(), user_, event);
    const std::string hash = chainHash(lastHash_, text);
    if (const auto error = file_.append(text + '\t' + hash + '\n')) {
        fail(error);
        return;
    }
    ++sequence_;
    lastHash_ = hash;
}

} // namespace kqvdr
