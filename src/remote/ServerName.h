#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kqvdr {

inline constexpr const char* kDefaultServerName = "KQ-VDR 1000 Control";
inline constexpr std::size_t kMaxServerNameCharacters = 255;

// The number of characters (code points) in UTF-8 text; nothing when it is not UTF-8.
std::optional<std::size_t> utf8CharacterCount(std::string_view text);

// The text with each byte that starts no UTF-8 character replaced by U+FFFD; UTF-8 text comes
// back as it was.
std::string repairedUtf8(std::string_view text);

// Why a server name cannot be kept, or empty when it can: at most 255 characters of UTF-8.
// Empty is allowed, as the standard's ServerName allows it.
std::string serverNameProblem(std::string_view name);

// Why a client may not give the server this name, or empty when it may: it can be kept, and
// holds no control characters or bidirectional controls (they would rewrite a terminal or a
// list that shows the name) and is not white space alone. Names kept before these rules still
// load.
std::string newServerNameProblem(std::string_view name);

} // namespace kqvdr
