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

// Why a server name cannot be used, or empty when it can: 1 to 255 characters of UTF-8.
std::string serverNameProblem(std::string_view name);

} // namespace kqvdr
