#include "UserFile.h"

#include "Base64.h"

#include <algorithm>
#include <charconv>

namespace kqvdr::remote {
namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> result;
    while (!line.empty()) {
        const auto start = line.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            break;
        }
        line.remove_prefix(start);
        const auto end = line.find(' ');
        result.push_back(line.substr(0, end));
        line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    }
    return result;
}

template <typename Number> std::optional<Number> number(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::string atLine(std::size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

// The user on one "user ..." line; `problem` says why not.
std::optional<RemoteUser> parseUser(const std::vector<std::string_view>& fields,
                                    std::string& problem) {
    if (fields.size() != 9 || fields[3] != "scrypt") {
        problem = "not a \"user NAME ROLE scrypt N r p SALT HASH\" line";
        return std::nullopt;
    }
    RemoteUser user;
    user.name = std::string(fields[1]);
    if (problem = userNameProblem(user.name); !problem.empty()) {
        return std::nullopt;
    }
    const auto role = roleFromName(fields[2]);
    if (!role) {
        problem =
            "unknown role \"" + std::string(fields[2]) + "\" (observer, operator or supervisor)";
        return std::nullopt;
    }
    user.role = *role;
    const auto n = number<std::uint64_t>(fields[4]);
    const auto r = number<std::uint32_t>(fields[5]);
    const auto p = number<std::uint32_t>(fields[6]);
    if (!n || !r || !p || !usableCost({*n, *r, *p})) {
        problem = "a scrypt cost this program does not compute";
        return std::nullopt;
    }
    user.password.cost = {*n, *r, *p};
    auto salt = base64Decode(fields[7]);
    auto hash = base64Decode(fields[8]);
    if (!salt || !hash || salt->size() < kSaltBytes || hash->size() < kHashBytes) {
        problem = "a damaged salt or hash";
        return std::nullopt;
    }
    user.password.salt = std::move(*salt);
    user.password.hash = std::move(*hash);
    return user;
}

} // namespace

std::string userNameProblem(std::string_view name) {
    if (name.empty() || name.size() > 64) {
        return "a user name has 1 to 64 characters";
    }
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '_' || c == '-';
    });
    return plain ? std::string() : "a user name has only letters, digits, '.', '_' and '-'";
}

std::string userFileText(const std::vector<RemoteUser>& users) {
    std::string text = "# Who may use remote control, and as what. Change it with\n"
                       "# kqvdr1000-control --sila-user; passwords are kept only as scrypt "
                       "hashes.\nformat " +
                       std::to_string(kUserFileFormat) + "\n";
    for (const RemoteUser& user : users) {
        const ScryptCost& cost = user.password.cost;
        text += "user " + user.name + " " + roleName(user.role) + " scrypt " +
                std::to_string(cost.n) + " " + std::to_string(cost.r) + " " +
                std::to_string(cost.p) + " " + base64Encode(user.password.salt) + " " +
                base64Encode(user.password.hash) + "\n";
    }
    return text;
}

std::optional<std::vector<RemoteUser>> parseUserFile(std::string_view text, std::string& problem) {
    std::vector<RemoteUser> users;
    bool formatSeen = false;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const auto fields = words(line);
        if (fields.empty() || fields[0].starts_with('#')) {
            continue;
        }
        if (!formatSeen) {
            const auto format =
                fields.size() == 2 && fields[0] == "format" ? number<int>(fields[1]) : std::nullopt;
            if (!format) {
                problem = atLine(lineNumber, "the \"format 1\" line is missing");
                return std::nullopt;
            }
            if (*format != kUserFileFormat) {
                problem = atLine(lineNumber, "format " + std::to_string(*format) +
                                                 " is one a later version of the program wrote");
                return std::nullopt;
            }
            formatSeen = true;
            continue;
        }
        if (fields[0] != "user") {
            problem = atLine(lineNumber, "not a \"user ...\" line");
            return std::nullopt;
        }
        std::string why;
        auto user = parseUser(fields, why);
        if (!user) {
            problem = atLine(lineNumber, why);
            return std::nullopt;
        }
        if (std::any_of(users.begin(), users.end(),
                        [&](const RemoteUser& other) { return other.name == user->name; })) {
            problem = atLine(lineNumber, "the user " + user->name + " a second time");
            return std::nullopt;
        }
        users.push_back(std::move(*user));
    }
    if (!formatSeen) {
        problem = "the \"format 1\" line is missing";
        return std::nullopt;
    }
    return users;
}

} // namespace kqvdr::remote
