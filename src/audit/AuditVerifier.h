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

struct AuditVerification {
    bool readable = true;
    std::string readError;
    std::size_t lines = 0;
    std::vector<AuditBreak> breaks;

    bool intact() const { return readable && breaks.empty(); }
};

// Walks the chain line by line. Each break is reported where it shows, and the walk goes on
// from that line's own hash, so an edited line is named alone, a removed one by the line after
// the gap, and an inserted one by itself and the line after it. Lines removed from the end
// leave no trace in a chain; nothing here can see them.
AuditVerification verifyAudit(std::string_view text);
// Only a plain file is read; anything else (a folder, a pipe, a device) is unreadable.
AuditVerification verifyAuditFile(const std::filesystem::path& file);

// What --verify-audit prints: one summary line, then one line per break.
std::string verificationReport(const std::string& name, const AuditVerification& result);

} // namespace kqvdr
