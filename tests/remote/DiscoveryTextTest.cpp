#include "DiscoveryText.h"

#include "OpenSslPem.h"
#include "SelfSignedCertificate.h"
#include "ServerName.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

const std::string kUuid = "0f8fad5b-d9cb-469f-a165-70867728950e";

DiscoveryInfo plainInfo() {
    return {kUuid, 50052, "4.10", "KQ-VDR 1000 Control", "Evaporative light-scattering detector",
            ""};
}

std::string selfSignedPem() {
    std::string error;
    const auto key = newServerKey(error);
    return pemOfCertificate(newSelfSignedCertificate(key.get(), kUuid, "lab-pc", error).get());
}

// The certificate as a client puts it together: the ca entries in order, a line each.
std::string joinedCertificate(const std::vector<std::string>& entries) {
    std::string pem;
    for (std::size_t i = 0;; ++i) {
        const std::string key = "ca" + std::to_string(i) + "=";
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](const std::string& e) { return e.starts_with(key); });
        if (found == entries.end()) {
            return pem;
        }
        pem += found->substr(key.size()) + "\n";
    }
}

TEST(DiscoveryText, TheInstanceIsTheUuidAndTheEntriesNameVersionServerAndDescription) {
    EXPECT_EQ(discoveryInstanceName(plainInfo()), kUuid);
    EXPECT_EQ(discoveryTextEntries(plainInfo()),
              (std::vector<std::string>{"version=4.10", "server_name=KQ-VDR 1000 Control",
                                        "description=Evaporative light-scattering detector"}));
}

TEST(DiscoveryText, TheAuthorityGoesALineAnEntryAndComesBackWhole) {
    const std::string pem = selfSignedPem();
    std::string crlf;
    for (const char c : pem) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    for (const std::string& given : {pem, crlf}) {
        DiscoveryInfo info = plainInfo();
        info.certificateAuthorityPem = given;
        const auto entries = discoveryTextEntries(info);
        ASSERT_GT(entries.size(), 5u);
        EXPECT_EQ(entries[3], "ca0=-----BEGIN CERTIFICATE-----");
        EXPECT_EQ(entries.back(),
                  "ca" + std::to_string(entries.size() - 4) + "=-----END CERTIFICATE-----");
        const std::string joined = joinedCertificate(entries);
        EXPECT_EQ(joined, pem);
        std::string error;
        EXPECT_TRUE(certificateFromPem(joined, error)) << error;
    }
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
