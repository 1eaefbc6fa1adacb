#pragma once

#include "ServerIdentity.h"

#include <optional>
#include <string>
#include <string_view>

namespace kqvdr {

// The identity file: "key=value" lines, "uuid" and "name"; a backslash, CR and LF in the name
// are written as "\\", "\r" and "\n" so that any name fits on its line. Lines starting with '#'
// and keys a later version may add are skipped. LF or CR LF line ends.
std::string identityFileText(const ServerIdentity& identity);

// The identity the text holds, or nothing and the reason (with the line's number) when it is
// damaged: a line that is no "key=value", a missing, repeated or malformed uuid or name.
std::optional<ServerIdentity> parseIdentityFile(std::string_view text, std::string& problem);

} // namespace kqvdr
