#include "DnsServiceRecord.h"

#include "DiscoveryText.h"

namespace kqvdr {

std::string localHostName(std::string_view computerName) {
    // A fully qualified name's domain is not the local link's.
    const std::string_view label = computerName.substr(0, computerName.find('.'));
    return label.empty() ? std::string() : std::string(label) + ".local";
}

DnsServiceRecord dnsServiceRecord(const DiscoveryInfo& info, std::string_view computerName) {
    DnsServiceRecord record;
    record.instanceName = discoveryInstanceName(info) + "." + kDiscoveryServiceType + ".local";
    record.hostName = localHostName(computerName);
    record.port = info.port;
    for (const std::string& entry : discoveryTextEntries(info)) {
        const auto equals = entry.find('=');
        record.keys.push_back(entry.substr(0, equals));
        record.values.push_back(equals == std::string::npos ? std::string()
                                                            : entry.substr(equals + 1));
    }
    return record;
}

} // namespace kqvdr
