#include "AuditVerifier.h"

#include "AuditLine.h"

#include <fstream>
#include <optional>

namespace kqvdr {

AuditVerification verifyAudit(std::istream& in) {
    AuditVerification result;
    std::optional<std::string> previousHash{std::string(kAuditGenesisHash)};
    std::uint64_t previousSequence = 0;
    std::string line;
    while (std::getline(in, line)) {
        ++result.lines;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
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
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        AuditVerification result;
        result.readable = false;
        result.readError = "cannot be opened";
        return result;
    }
    return verifyAudit(in);
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
