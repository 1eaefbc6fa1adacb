#include "DiscoveryText.h"

#include "DiscoveryTestInfo.h"
#include "ServerName.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(DiscoveryText, TheInstanceIsTheUuidAndTheEntriesNameVersionServerAndDescription) {
    EXPECT_EQ(discoveryInstanceName(plainInfo()), kDiscoveryTestUuid);
    EXPECT_EQ(discoveryTextEntries(plainInfo()),
              (std::vector<std::string>{"version=4.10", "server_name=KQ-VDR 1000 Control",
                                        "description=Evaporative light-scattering detector"}));
}

TEST(DiscoveryText, NoEntryIsLongerThanATxtStringHolds) {
    struct Case {
        const char* what;
        DiscoveryInfo info;
    };
    std::string longName;
    for (int i = 0; i < 255; ++i) {
        longName += "\xc3\xa9"; // 255 characters, 510 bytes: a name the server accepts
    }
    DiscoveryInfo named = plainInfo();
    named.serverName = longName;
    DiscoveryInfo described = plainInfo();
    described.description = std::string(1000, 'd');
    DiscoveryInfo oneLongLine = plainInfo();
    oneLongLine.certificateAuthorityPem =
        "-----BEGIN CERTIFICATE-----\n" + std::string(600, 'A') + "\n-----END CERTIFICATE-----\n";
    const Case cases[] = {{"long name", named},
                          {"long description", described},
                          {"unwrapped certificate", oneLongLine}};
    for (const auto& [what, info] : cases) {
        const auto entries = discoveryTextEntries(info);
        for (const auto& entry : entries) {
            EXPECT_LE(entry.size(), kMaxTextEntryBytes) << what;
            EXPECT_TRUE(utf8CharacterCount(entry)) << what << ": cut inside a character";
        }
        const std::string name = entries[1].substr(std::string("server_name=").size());
        EXPECT_TRUE(info.serverName.starts_with(name)) << what;
        std::string lines = joinedCertificate(entries);
        std::string given = info.certificateAuthorityPem;
        std::erase(lines, '\n');
        std::erase(given, '\n');
        EXPECT_EQ(lines, given) << what << ": nothing of the certificate is lost";
    }
}

TEST(DiscoveryText, Utf8PrefixNeverEndsInsideACharacter) {
    const std::string text = "a\xc3\xa9\xe6\xb8\xac\xf0\x9f\xa7\xaa"; // 1, 2, 3 and 4 bytes
    const std::pair<std::size_t, std::string> cases[] = {
        {0, ""},
        {1, "a"},
        {2, "a"},
        {3, "a\xc3\xa9"},
        {5, "a\xc3\xa9"},
        {6, "a\xc3\xa9\xe6\xb8\xac"},
        {9, "a\xc3\xa9\xe6\xb8\xac"},
        {10, text},
        {99, text},
    };
    for (const auto& [maxBytes, expected] : cases) {
        EXPECT_EQ(utf8Prefix(text, maxBytes), expected) << maxBytes;
    }
}

} // namespace
} // namespace kqvdr
