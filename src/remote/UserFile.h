#pragma once

#include "PasswordHash.h"
#include "Role.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr::remote {

struct RemoteUser {
    std::string name;
    Role role = Role::Observer;
    PasswordHash password;

    bool operator==(const RemoteUser&) const = default;
};

inline constexpr const char* kUserFile = "remote users.txt";
inline constexpr int kUserFileFormat = 1;

// Empty when the name can be a user's: 1 to 64 letters, digits, '.', '_' or '-' (it appears in
// the audit trail as name@address, and in the file between spaces).
std::string userNameProblem(std::string_view name);

// The users file: a "format 1" line, then one line a user,
// "user NAME ROLE scrypt N r p SALT HASH" with salt and hash in base64. Lines starting with '#'
// and empty lines are skipped; LF or CR LF line ends.
std::string userFileText(const std::vector<RemoteUser>& users);

// The users the text holds, or nothing and the reason (with the line's number) when it is
// damaged: no format line or one of a later format, a line that is no user, a bad name, an
// unknown role, a cost this program will not compute, a name twice.
std::optional<std::vector<RemoteUser>> parseUserFile(std::string_view text, std::string& problem);

} // namespace kqvdr::remote
