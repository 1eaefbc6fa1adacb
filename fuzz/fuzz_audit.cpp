// Any bytes as an audit trail: the line parser and the verifier never go out of bounds, every
// parsed line's parts lie inside it, and a trail that verifies intact has no line the parser
// refuses.
#include "AuditLine.h"
#include "AuditVerifier.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool inside(std::string_view part, std::string_view whole) {
    return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const kqvdr::AuditVerification result = kqvdr::verifyAudit(text);
    check(result.readable);

    std::size_t lines = 0;
    bool allParse = true;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        ++lines;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (const auto parts = kqvdr::parseAuditLine(line)) {
            check(inside(parts->text, line) && inside(parts->hash, line));
            check(kqvdr::auditFields(line).has_value());
        } else {
            allParse = false;
        }
    }
    check(result.lines == lines);
    for (const kqvdr::AuditBreak& broken : result.breaks) {
        check(broken.line >= 1 && broken.line <= lines);
    }
    check(!result.intact() || allParse);
    check(!kqvdr::verificationReport("audit.log", result).empty());
    return 0;
}
