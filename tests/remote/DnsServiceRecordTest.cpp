#include "DnsServiceRecord.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(DnsServiceRecord, TheHostIsTheComputersFirstLabelOnTheLocalLink) {
    const std::pair<const char*, const char*> cases[] = {
        {"LAB-PC-07", "LAB-PC-07.local"},
        {"lab-pc-07.chem.example.org", "lab-pc-07.local"},
        {"lab-pc-07.", "lab-pc-07.local"},
        {"", ""},
        {".example.org", ""},
    };
    for (const auto& [computer, host] : cases) {
        EXPECT_EQ(localHostName(computer), host) << computer;
    }
}

TEST(DnsServiceRecord, TheRecordCarriesTheInstanceHostPortAndEveryTextEntrySplitAtItsFirstEquals) {
    DiscoveryInfo info{"0f8fad5b-d9cb-469f-a165-70867728950e",
                       50052,
                       "1.0",
                       "Detector=left",
                       "",
                       "-----BEGIN CERTIFICATE-----\nMIIB==\n-----END CERTIFICATE-----\n"};
    const DnsServiceRecord record = dnsServiceRecord(info, "LAB-PC-07");
    EXPECT_EQ(record.instanceName, "0f8fad5b-d9cb-469f-a165-70867728950e._sila._tcp.local");
    EXPECT_EQ(record.hostName, "LAB-PC-07.local");
    EXPECT_EQ(record.port, 50052);
    EXPECT_EQ(record.keys, (std::vector<std::string>{"version", "server_name", "description", "ca0",
                                                     "ca1", "ca2"}));
    EXPECT_EQ(record.values,
              (std::vector<std::string>{"1.0", "Detector=left", "", "-----BEGIN CERTIFICATE-----",
                                        "MIIB==", "-----END CERTIFICATE-----"}));
}

} // namespace
} // namespace kqvdr
