#pragma once

#include "AuditSink.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kqvdr {

struct LocalTime;

// One line of audit.log, tab-separated:
//   sequence, time (ISO 8601 with offset), user, event, subject, old value, new value, hash
// The hash is SHA-256 over the previous line's hash (64 hexadecimal digits) followed by this
// line's text, which is everything before the last tab. Tabs, line breaks and backslashes in
// the values are escaped, so one event is always one line.
inline constexpr std::string_view kAuditGenesisHash =
    "0000000000000000000000000000000000000000000000000000000000000000";

std::string auditEventName(AuditEventKind kind);
std::string isoTimestamp(const LocalTime& time);

// The line's text, without its hash.
std::string auditText(std::uint64_t sequence, const LocalTime& time, std::string_view user,
                      const AuditEvent& event);
std::string chainHash(std::string_view previousHash, std::string_view text);

// The old value of an "audit line cut off" record: how much of the cut line reached the disk.
std::string auditCutOffBytesText(std::size_t bytes);

struct AuditLineParts {
    std::uint64_t sequence = 0;
    std::string_view text;
    std::string_view hash;
};
// Nothing when the line does not have the eight fields, a sequence number and a hash.
std::optional<AuditLineParts> parseAuditLine(std::string_view line);

// The fields of a line's text with their escapes undone, for display.
struct AuditFields {
    std::string time, user, event, subject, oldValue, newValue;
};
std::optional<AuditFields> auditFields(std::string_view line);

} // namespace kqvdr
