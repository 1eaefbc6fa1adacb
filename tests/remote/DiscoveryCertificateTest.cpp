#include "DiscoveryTestInfo.h"
#include "DiscoveryText.h"
#include "OpenSslPem.h"
#include "SelfSignedCertificate.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

std::string selfSignedPem() {
    std::string error;
    const auto key = newServerKey(error);
    return pemOfCertificate(
        newSelfSignedCertificate(key.get(), kDiscoveryTestUuid, "lab-pc", error).get());
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

} // namespace
} // namespace kqvdr
