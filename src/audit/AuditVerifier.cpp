#include "AuditVerifier.h"

#include "AuditLine.h"
#include "FileReplace.h"

#include <optional>

namespace kqvdr {
namespace {

// Years of a busy trail are a few hundred megabytes; anything larger is not one.
constexpr std::size_t kLargestTrail = std::size_t{1} << 30;

} // namespace

AuditVerification verifyAudit(std::string_view text) {
    AuditVerification result;
    std::optional<std::string> previousHash{std::string(kAuditGenesisHash)};
    std::uint64_t previousSequence = 0;
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
            result.breaks.push_back({result.lines, "not an audit line (damaged or half-written)"});
            previousHash.reset(); // the next line cannot be checked against this one
            continue;
        }
        if (previousHash) {
            const bool expectedNext = parts->sequence == previousSequence + 1;
            if (chainHash(*previousHash, parts->text) != parts->hash) {
                result.breaks.push_back(
                    {result.lines, expectedNext ? "its text does not match its hash (edited)"
                                                : "its hash does not follow the line before it"});
            }
            if (parts->sequence > previousSequence + 1) {
                const std::uint64_t missing = parts->sequence - previousSequence - 1;
                result.breaks.push_back({result.lines, std::to_string(missing) + " line" +
                                                           (missing == 1 ? "" : "s") +
                                                           " missing before it (removed)"});
            } else if (parts->sequence <= previousSequence) {
                result.breaks.push_back(
                    {result.lines, "numbered " + std::to_string(parts->sequence) + " after " +
                                       std::to_string(previousSequence) + " (inserted)"});
            }
        }
        previousHash = std::string(parts->hash);
        previousSequence = parts->sequence;
    }
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
    if (result.intact()) {
        return name + ": " + lines + ", chain intact\n";
    }
    std::string report = name + ": " + lines + ", chain broken at line " +
                         std::to_string(result.breaks[0].line) + "\n";
    for (const AuditBreak& broken : result.breaks) {
        report += "  line " + std::to_string(broken.line) + ": " + broken.reason + "\n";
    }
    return report;
}

} // namespace kqvdr
