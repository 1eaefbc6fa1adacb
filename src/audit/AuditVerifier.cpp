#include "AuditVerifier.h"

#include "AuditLine.h"
#include "FileReplace.h"

#include <optional>

namespace kqvdr {
namespace {

// Years of a busy trail are a few hundred megabytes; anything larger is not one.
constexpr std::size_t kLargestTrail = std::size_t{1} << 30;

} // namespace

namespace {

struct Anchor {
    std::string hash;
    std::uint64_t sequence = 0;
};

struct DamagedLine {
    std::size_t line = 0;
    std::size_t bytes = 0;
    bool unterminated = false;
    std::optional<std::string> hash; // its last field, when that is still a whole hash
};

bool isCutOffRecord(const AuditLineParts& parts, std::string_view line, const Anchor& anchor,
                    const DamagedLine& cut) {
    const auto fields = auditFields(line);
    return fields && fields->event == auditEventName(AuditEventKind::AuditLineCutOff) &&
           parts.sequence == anchor.sequence + 1 &&
           fields->subject == std::to_string(parts.sequence) &&
           fields->oldValue == auditCutOffBytesText(cut.bytes) &&
           chainHash(anchor.hash, parts.text) == parts.hash;
}

std::optional<std::string> trailingHash(std::string_view line) {
    const std::size_t tab = line.rfind('\t');
    const std::string_view last = tab == std::string_view::npos ? line : line.substr(tab + 1);
    if (last.size() != kAuditGenesisHash.size() ||
        last.find_first_not_of("0123456789abcdef") != std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(last);
}

// A well-formed line against the one before it.
void checkLink(const AuditLineParts& parts, const Anchor& previous, std::size_t lineNumber,
               std::vector<AuditBreak>& breaks) {
    const bool expectedNext = parts.sequence == previous.sequence + 1;
    if (chainHash(previous.hash, parts.text) != parts.hash) {
        breaks.push_back({lineNumber, expectedNext
                                          ? "its text does not match its hash (edited)"
                                          : "its hash does not follow the line before it"});
    }
    if (parts.sequence > previous.sequence + 1) {
        const std::uint64_t missing = parts.sequence - previous.sequence - 1;
        breaks.push_back({lineNumber, std::to_string(missing) + " line" +
                                          (missing == 1 ? "" : "s") +
                                          " missing before it (removed)"});
    } else if (parts.sequence <= previous.sequence) {
        breaks.push_back({lineNumber, "numbered " + std::to_string(parts.sequence) + " after " +
                                          std::to_string(previous.sequence) + " (inserted)"});
    }
}

void reportDamage(const std::vector<DamagedLine>& damaged, std::vector<AuditBreak>& breaks) {
    for (const DamagedLine& line : damaged) {
        breaks.push_back({line.line, line.unterminated
                                         ? "cut off while being written; the program records "
                                           "this at its next start"
                                         : "not an audit line (damaged or half-written)"});
    }
}

// The first line after damage: checked against the last damaged line's own hash if it still
// has one, else as if the damage were lines put in between.
void checkAfterDamage(const AuditLineParts& parts, const Anchor& anchor,
                      const std::vector<DamagedLine>& damaged, std::size_t lineNumber,
                      std::vector<AuditBreak>& breaks) {
    const std::optional<std::string>& ownHash = damaged.back().hash;
    if (ownHash && chainHash(*ownHash, parts.text) == parts.hash) {
        return; // the damaged line's text cannot be checked, but the chain goes through it
    }
    if (chainHash(anchor.hash, parts.text) == parts.hash) {
        checkLink(parts, anchor, lineNumber, breaks);
        return;
    }
    breaks.push_back({lineNumber, ownHash ? "its text does not match its hash (edited), or the "
                                            "damaged line's hash does"
                                          : "cannot be checked: the line before it lost its hash"});
}

} // namespace

AuditVerification verifyAudit(std::string_view text) {
    AuditVerification result;
    Anchor anchor{std::string(kAuditGenesisHash), 0};
    std::vector<DamagedLine> damaged; // since the last well-formed line
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++result.lines;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const auto parts = parseAuditLine(line);
        if (!parts) {
            damaged.push_back(
                {result.lines, line.size(), end == std::string_view::npos, trailingHash(line)});
            continue;
        }
        if (damaged.empty()) {
            checkLink(*parts, anchor, result.lines, result.breaks);
        } else if (damaged.size() == 1 && isCutOffRecord(*parts, line, anchor, damaged.front())) {
            result.powerCuts.push_back({damaged.front().line, damaged.front().bytes, result.lines});
        } else {
            reportDamage(damaged, result.breaks);
            checkAfterDamage(*parts, anchor, damaged, result.lines, result.breaks);
        }
        damaged.clear();
        anchor = {std::string(parts->hash), parts->sequence};
    }
    reportDamage(damaged, result.breaks);
    return result;
}

AuditVerification verifyAuditFile(const std::filesystem::path& file) {
    std::string text;
    if (const auto error = readWholeFile(file, text, kLargestTrail)) {
        AuditVerification result;
        result.readable = false;
        result.readError = "cannot be read (" + error.message() + ")";
        return result;
    }
    return verifyAudit(text);
}

std::string verificationReport(const std::string& name, const AuditVerification& result) {
    if (!result.readable) {
        return name + ": " + result.readError + "\n";
    }
    const std::string lines =
        std::to_string(result.lines) + " line" + (result.lines == 1 ? "" : "s");
    std::string report = result.intact() ? name + ": " + lines + ", chain intact\n"
                                         : name + ": " + lines + ", chain broken at line " +
                                               std::to_string(result.breaks[0].line) + "\n";
    for (const AuditBreak& broken : result.breaks) {
        report += "  line " + std::to_string(broken.line) + ": " + broken.reason + "\n";
    }
    for (const AuditPowerCut& cut : result.powerCuts) {
        report += "  line " + std::to_string(cut.line) + ": cut off by a power cut after " +
                  auditCutOffBytesText(cut.bytes) + "; the next start recorded it at line " +
                  std::to_string(cut.recordLine) + "\n";
    }
    return report;
}

} // namespace kqvdr
