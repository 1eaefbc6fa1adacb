#include "DiscoveryText.h"

namespace kqvdr {
namespace {

std::string entry(std::string_view key, std::string_view value) {
    std::string text(key);
    text += '=';
    text += utf8Prefix(value, kMaxTextEntryBytes - text.size());
    return text;
}

void addCertificateLines(std::string_view pem, std::vector<std::string>& entries) {
    std::size_t number = 0;
    while (!pem.empty()) {
        const auto end = pem.find('\n');
        std::string_view line = pem.substr(0, end);
        pem.remove_prefix(end == std::string_view::npos ? pem.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        while (!line.empty()) {
            const std::string key = "ca" + std::to_string(number++);
            const std::size_t room = kMaxTextEntryBytes - key.size() - 1;
            entries.push_back(key + "=" + std::string(line.substr(0, room)));
            line.remove_prefix(std::min(room, line.size()));
        }
    }
}

} // namespace

std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t cut = maxBytes;
    // Back over continuation bytes to the start of the character the cut would split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return text.substr(0, cut);
}

std::string discoveryInstanceName(const DiscoveryInfo& info) {
    return info.serverUuid;
}

std::vector<std::string> discoveryTextEntries(const DiscoveryInfo& info) {
    std::vector<std::string> entries{entry("version", info.version),
                                     entry("server_name", info.serverName),
                                     entry("description", info.description)};
    addCertificateLines(info.certificateAuthorityPem, entries);
    return entries;
}

} // namespace kqvdr
