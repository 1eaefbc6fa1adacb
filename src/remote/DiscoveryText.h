#pragma once

#include "DiscoveryInfo.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {

inline constexpr const char* kDiscoveryServiceType = "_sila._tcp";
// A DNS TXT string holds at most 255 bytes, its "key=" included.
inline constexpr std::size_t kMaxTextEntryBytes = 255;

// Clients take the server's UUID from the instance name.
std::string discoveryInstanceName(const DiscoveryInfo& info);

// "version=", "server_name=", "description=", then the authority's certificate a PEM line an
// entry, "ca0=", "ca1=", … (a line too long for one entry continues in the next). A value too
// long for its entry is cut at a character boundary.
std::vector<std::string> discoveryTextEntries(const DiscoveryInfo& info);

// At most maxBytes of UTF-8 text, never ending inside a character.
std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes);

} // namespace kqvdr
