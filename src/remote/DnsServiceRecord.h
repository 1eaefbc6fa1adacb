#pragma once

#include "DiscoveryInfo.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr {

// The announcement as Windows' DNS-SD takes it, still in UTF-8: the instance's full name, the
// host that serves it, the port, and the TXT entries split into keys and values.
struct DnsServiceRecord {
    std::string instanceName; // "<server UUID>._sila._tcp.local"
    std::string hostName;     // "<computer>.local"
    std::uint16_t port = 0;
    std::vector<std::string> keys;
    std::vector<std::string> values;
};

// The computer's name on the local link: the first label of its DNS host name, ".local"
// added; empty when it has none.
std::string localHostName(std::string_view computerName);

DnsServiceRecord dnsServiceRecord(const DiscoveryInfo& info, std::string_view computerName);

} // namespace kqvdr
