#include "AuditLine.h"

#include "Clock.h"
#include "Sha256.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kqvdr {
namespace {

constexpr std::array<std::string_view, 35> kEventNames = {
    "program started",
    "program exited",
    "mode",
    "method selected",
    "method downloaded",
    "heater",
    "autozero",
    "device identification",
    "vapour sensitivity",
    "port opened",
    "method file saved",
    "method file loaded",
    "fault reported",
    "fault cleared",
    "communication error",
    "log started",
    "log stopped",
    "automation started",
    "automation ended",
    "system test started",
    "system test ended",
    "events not recorded",
    "audit line cut off",
    "system test cut short",
    "automation cut short",
    "remote login",
    "remote login failed",
    "remote lockout",
    "remote logout",
    "remote user added",
    "remote user removed",
    "remote password changed",
    "remote lock",
    "remote unlock",
    "remote call refused by the lock",
};

constexpr std::size_t kFieldCount = 8;

void appendEscaped(std::string& out, std::string_view value) {
    for (const char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

std::string unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

std::vector<std::string_view> splitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    for (std::size_t tab; (tab = line.find('\t', at)) != std::string_view::npos; at = tab + 1) {
        fields.push_back(line.substr(at, tab - at));
    }
    fields.push_back(line.substr(at));
    return fields;
}

bool isHash(std::string_view text) {
    if (text.size() != kAuditGenesisHash.size()) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string auditEventName(AuditEventKind kind) {
    return std::string(kEventNames[static_cast<std::size_t>(kind)]);
}

std::string isoTimestamp(const LocalTime& time) {
    const int offset = std::abs(time.utcOffsetMinutes);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", time.year,
                  time.month, time.day, time.hour, time.minute, time.second,
                  time.utcOffsetMinutes < 0 ? '-' : '+', offset / 60 % 100, offset % 60);
    return text;
}

std::string auditText(std::uint64_t sequence, const LocalTime& time, std::string_view user,
                      const AuditEvent& event) {
    const std::string timestamp = isoTimestamp(time);
    const std::string name = auditEventName(event.kind);
    const std::array<std::string_view, 6> fields = {timestamp,     user,           name,
                                                    event.subject, event.oldValue, event.newValue};
    std::string text = std::to_string(sequence);
    for (const std::string_view field : fields) {
        text += '\t';
        appendEscaped(text, field);
    }
    return text;
}

std::string auditCutOffBytesText(std::size_t bytes) {
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string chainHash(std::string_view previousHash, std::string_view text) {
    Sha256 hash;
    hash.update(previousHash);
    hash.update(text);
    return Sha256::hex(hash.finish());
}

std::optional<AuditLineParts> parseAuditLine(std::string_view line) {
    const std::vector<std::string_view> fields = splitTabs(line);
    if (fields.size() != kFieldCount || !isHash(fields.back())) {
        return std::nullopt;
    }
    AuditLineParts parts;
    const std::string_view number = fields.front();
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), parts.sequence);
    if (error != std::errc() || end != number.data() + number.size() || number.empty()) {
        return std::nullopt;
    }
    parts.hash = fields.back();
    parts.text = line.substr(0, line.size() - parts.hash.size() - 1);
    return parts;
}

std::optional<AuditFields> auditFields(std::string_view line) {
    if (!parseAuditLine(line)) {
        return std::nullopt;
    }
    const std::vector<std::string_view> f = splitTabs(line);
    return AuditFields{unescaped(f[1]), unescaped(f[2]), unescaped(f[3]),
                       unescaped(f[4]), unescaped(f[5]), unescaped(f[6])};
}

} // namespace kqvdr
