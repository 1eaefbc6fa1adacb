#include "ServerIdentityFile.h"

#include "ServerName.h"
#include "Uuid.h"

namespace kqvdr {
namespace {

std::string escaped(std::string_view text) {
    std::string result;
    for (const char c : text) {
        switch (c) {
        case '\\':
            result += "\\\\";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        default:
            result += c;
        }
    }
    return result;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            result += text[i];
            continue;
        }
        const char next = i + 1 < text.size() ? text[++i] : '\0';
        if (next == '\\') {
            result += '\\';
        } else if (next == 'n') {
            result += '\n';
        } else if (next == 'r') {
            result += '\r';
        } else {
            return std::nullopt;
        }
    }
    return result;
}

std::string atLine(std::size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

} // namespace

std::string identityFileText(const ServerIdentity& identity) {
    return "# This program's identity as a SiLA 2 server. Clients know it by its uuid.\n"
           "uuid=" +
           identity.uuid + "\nname=" + escaped(identity.name) + "\n";
}

std::optional<ServerIdentity> parseIdentityFile(std::string_view text, std::string& problem) {
    std::optional<std::string> uuid;
    std::optional<std::string> name;
    std::size_t number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            problem = atLine(number, "not a \"key=value\" line");
            return std::nullopt;
        }
        const auto key = line.substr(0, equals);
        const auto value = line.substr(equals + 1);
        if (key == "uuid") {
            uuid = uuid ? std::nullopt : canonicalUuid(value);
            if (!uuid) {
                problem = atLine(number, "a second uuid, or one that is no UUID");
                return std::nullopt;
            }
        } else if (key == "name") {
            auto decoded = name ? std::nullopt : unescaped(value);
            const auto nameProblem =
                decoded ? serverNameProblem(*decoded) : "a second name, or a damaged one";
            if (!nameProblem.empty()) {
                problem = atLine(number, nameProblem);
                return std::nullopt;
            }
            name = std::move(decoded);
        }
    }
    if (!uuid || !name) {
        problem = uuid ? "the name is missing" : "the uuid is missing";
        return std::nullopt;
    }
    return ServerIdentity{*uuid, *name};
}

} // namespace kqvdr
