#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {

struct AuditBreak {
    std::size_t line = 0; // 1-based
    std::string reason;
};

// A line cut off by a power cut, and the next start's own record of it right after it.
struct AuditPowerCut {
    std::size_t line = 0;       // 1-based, the cut line
    std::size_t bytes = 0;      // what of it reached the disk
    std::size_t recordLine = 0; // the start's record
};

struct AuditVerification {
    bool readable = true;
    std::string readError;
    std::size_t lines = 0;
    std::vector<AuditBreak> breaks;
    std::vector<AuditPowerCut> powerCuts; // not breaks: nothing recorded was lost or changed

    bool intact() const { return readable && breaks.empty(); }
};

// Walks the chain line by line. Each break is reported where it shows, and the walk goes on
// from that line's own hash, so an edited line is named alone, a removed one by the line after
// the gap, and an inserted one by itself and the line after it. Lines removed from the end
// leave no trace in a chain; nothing here can see them.
// A line that is not an audit line is a break, except exactly this: one cut-off line followed
// by the next start's "audit line cut off" record of it, chained to the line before the cut
// one, with its number and its length. The line after other damage is checked against the
// damaged line's own hash where that survived, or against the last good line; failing both it
// is a break too, and anchors the chain from there on.
AuditVerification verifyAudit(std::string_view text);
// Only a plain file is read; anything else (a folder, a pipe, a device) is unreadable.
AuditVerification verifyAuditFile(const std::filesystem::path& file);

// What --verify-audit prints: one summary line, then one line per break.
std::string verificationReport(const std::string& name, const AuditVerification& result);

} // namespace kqvdr
