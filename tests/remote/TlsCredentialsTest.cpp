#include "TlsCredentials.h"

#include "CertificateFacts.h"
#include "DiscoveryTestInfo.h"
#include "DiscoveryText.h"
#include "OpenSslPem.h"
#include "SelfSignedCertificate.h"
#include "TemporaryDirectory.h"

#include <arpa/inet.h>
#include <ctime>
#include <gtest/gtest.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>
#include <set>
#include <sys/stat.h>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

const std::string kUuid = "0f8fad5b-d9cb-469f-a165-70867728950e";
const std::string kOtherUuid = "7c9e6679-7425-40de-944b-e07fc1f90ae7";

CertificatePointer certificateOf(const std::string& pem) {
    std::string error;
    auto certificate = certificateFromPem(pem, error);
    EXPECT_TRUE(certificate) << error;
    return certificate;
}

// "DNS:name" and "IP:1.2.3.4" for each subjectAltName entry.
std::set<std::string> alternativeNames(X509* certificate) {
    std::set<std::string> result;
    auto* names = static_cast<GENERAL_NAMES*>(
        X509_get_ext_d2i(certificate, NID_subject_alt_name, nullptr, nullptr));
    for (int i = 0; names && i < sk_GENERAL_NAME_num(names); ++i) {
        const GENERAL_NAME* name = sk_GENERAL_NAME_value(names, i);
        int type = 0;
        const auto* value = static_cast<const ASN1_STRING*>(GENERAL_NAME_get0_value(name, &type));
        const std::string bytes(reinterpret_cast<const char*>(ASN1_STRING_get0_data(value)),
                                static_cast<std::size_t>(ASN1_STRING_length(value)));
        if (type == GEN_DNS) {
            result.insert("DNS:" + bytes);
        } else if (type == GEN_IPADD) {
            char text[INET6_ADDRSTRLEN] = {};
            inet_ntop(bytes.size() == 4 ? AF_INET : AF_INET6, bytes.data(), text, sizeof text);
            result.insert(std::string("IP:") + text);
        }
    }
    GENERAL_NAMES_free(names);
    return result;
}

std::string commonName(X509* certificate) {
    char text[256] = {};
    X509_NAME_get_text_by_NID(X509_get_subject_name(certificate), NID_commonName, text,
                              sizeof text);
    return text;
}

unsigned modeOf(const fs::path& path) {
    struct ::stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 0777;
}

// The key's and the certificate's bytes, empty for one that is no plain file.
std::pair<std::string, std::string> bothFiles(const fs::path& dataDirectory) {
    const auto bytes = [](const fs::path& path) {
        return fs::is_regular_file(path) ? test::readBytes(path) : std::string();
    };
    return {bytes(dataDirectory / kServerKeyFile), bytes(dataDirectory / kServerCertificateFile)};
}

// A pair as the laboratory might bring it, made elsewhere.
struct Pair {
    std::string keyPem;
    std::string certificatePem;
};
Pair madePair(const std::string& uuid, long validSeconds = 3600) {
    std::string error;
    const auto key = newServerKey(error);
    const auto certificate = newSelfSignedCertificate(key.get(), uuid, "elsewhere", error);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), validSeconds);
    X509_sign(certificate.get(), key.get(), EVP_sha256());
    return {pemOfPrivateKey(key.get()), pemOfCertificate(certificate.get())};
}

// A server certificate signed by an authority rather than by itself.
Pair authoritySignedPair() {
    std::string error;
    const auto authorityKey = newServerKey(error);
    const auto authority = newSelfSignedCertificate(authorityKey.get(), kOtherUuid, "ca", error);
    const auto key = newServerKey(error);
    const auto certificate = newSelfSignedCertificate(key.get(), kUuid, "lab-pc", error);
    X509_set_issuer_name(certificate.get(), X509_get_subject_name(authority.get()));
    X509_sign(certificate.get(), authorityKey.get(), EVP_sha256());
    return {pemOfPrivateKey(key.get()),
            pemOfCertificate(certificate.get()) + pemOfCertificate(authority.get())};
}

std::string encryptedPem(const std::string& keyPem) {
    std::string error;
    const auto key = privateKeyFromPem(keyPem, error);
    BIO* bio = BIO_new(BIO_s_mem());
    PEM_write_bio_PKCS8PrivateKey(bio, key.get(), EVP_aes_256_cbc(), nullptr, 0, nullptr,
                                  const_cast<char*>("secret"));
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    std::string pem(data, static_cast<std::size_t>(size));
    BIO_free(bio);
    return pem;
}

TEST(TlsCredentials, FirstStartMakesAPrivateKeyAndASelfSignedCertificateForThisServer) {
    test::TemporaryDirectory dir;
    const ::mode_t previous = ::umask(0);
    std::string error;
    const auto made = loadOrCreateTlsCredentials(dir.path(), kUuid, "lab-pc-7", error);
    ::umask(previous);
    ASSERT_TRUE(made) << error;
    EXPECT_TRUE(made->selfSigned);
    EXPECT_EQ(test::readBytes(dir.file(kServerKeyFile)), made->privateKeyPem);
    EXPECT_EQ(test::readBytes(dir.file(kServerCertificateFile)), made->certificatePem);
    EXPECT_EQ(modeOf(dir.file(kServerKeyFile)), 0600u);
    EXPECT_EQ(modeOf(dir.file(kServerCertificateFile)), 0644u);

    const auto certificate = certificateOf(made->certificatePem);
    const auto key = privateKeyFromPem(made->privateKeyPem, error);
    ASSERT_TRUE(certificate && key) << error;
    EXPECT_EQ(X509_get_version(certificate.get()), X509_VERSION_3);
    EXPECT_EQ(commonName(certificate.get()), "SiLA2");
    EXPECT_EQ(serverUuidInCertificate(certificate.get()), kUuid);
    EXPECT_EQ(alternativeNames(certificate.get()),
              (std::set<std::string>{"DNS:localhost", "IP:127.0.0.1", "DNS:lab-pc-7"}));
    EXPECT_TRUE(keyBelongsToCertificate(certificate.get(), key.get()));
    EXPECT_TRUE(selfSignedCertificate(certificate.get()));

    const std::time_t inFiveYears = std::time(nullptr) + 5L * 365 * 24 * 3600;
    EXPECT_LT(X509_cmp_current_time(X509_get0_notBefore(certificate.get())), 0);
    EXPECT_GT(X509_cmp_time(X509_get0_notAfter(certificate.get()),
                            const_cast<std::time_t*>(&inFiveYears)),
              0);
}

TEST(TlsCredentials, TheHostNameBecomesTheRightKindOfAlternativeName) {
    struct Case {
        std::string hostName;
        std::set<std::string> extra;
    };
    const Case cases[] = {
        {"lab-pc-7.example.org", {"DNS:lab-pc-7.example.org"}},
        {"192.168.10.20", {"IP:192.168.10.20"}},
        {"fe80::1", {"IP:fe80::1"}},
        {"localhost", {}},
        {"127.0.0.1", {}},
        {"", {}},
        {"a name, with=odd,DNS:parts", {}},
        {"r\xc3\xa4ume", {}},
    };
    for (const auto& [hostName, extra] : cases) {
        std::string error;
        const auto key = newServerKey(error);
        const auto certificate = newSelfSignedCertificate(key.get(), kUuid, hostName, error);
        ASSERT_TRUE(certificate) << error;
        auto expected = extra;
        expected.insert({"DNS:localhost", "IP:127.0.0.1"});
        EXPECT_EQ(alternativeNames(certificate.get()), expected) << hostName;
    }
}

TEST(TlsCredentials, LaterStartsReuseThePairAsItIs) {
    test::TemporaryDirectory dir;
    std::string error;
    const auto first = loadOrCreateTlsCredentials(dir.path(), kUuid, "lab-pc", error);
    ASSERT_TRUE(first) << error;
    const auto later = loadOrCreateTlsCredentials(dir.path(), kUuid, "renamed-pc", error);
    ASSERT_TRUE(later) << error;
    EXPECT_EQ(later->privateKeyPem, first->privateKeyPem);
    EXPECT_EQ(later->certificatePem, first->certificatePem);
    EXPECT_TRUE(later->selfSigned);
}

TEST(TlsCredentials, AKeyWhoseCertificateIsMissingGetsANewCertificateForThatKey) {
    test::TemporaryDirectory dir;
    std::string error;
    const auto first = loadOrCreateTlsCredentials(dir.path(), kUuid, "lab-pc", error);
    ASSERT_TRUE(first) << error;
    fs::remove(dir.file(kServerCertificateFile));
    const auto again = loadOrCreateTlsCredentials(dir.path(), kUuid, "lab-pc", error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->privateKeyPem, first->privateKeyPem);
    EXPECT_NE(again->certificatePem, first->certificatePem);
    const auto key = privateKeyFromPem(again->privateKeyPem, error);
    EXPECT_TRUE(keyBelongsToCertificate(certificateOf(again->certificatePem).get(), key.get()));
}

TEST(TlsCredentials, APairThatIsThereButUnfitIsRefusedAndLeftAsItIs) {
    const Pair other = madePair(kUuid);
    const Pair otherServers = madePair(kOtherUuid);
    const Pair expired = madePair(kUuid, -60);
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> spoil; // given the data directory with a good pair
        const char* says;
    };
    const Case cases[] = {
        {"key removed", [](const fs::path& d) { fs::remove(d / kServerKeyFile); },
         "without its key"},
        {"key of another pair",
         [&](const fs::path& d) { test::writeBytes(d / kServerKeyFile, other.keyPem); },
         "does not belong"},
        {"another server's pair",
         [&](const fs::path& d) {
             test::writeBytes(d / kServerKeyFile, otherServers.keyPem);
             test::writeBytes(d / kServerCertificateFile, otherServers.certificatePem);
         },
         "carries the server UUID 7c9e6679"},
        {"expired",
         [&](const fs::path& d) {
             test::writeBytes(d / kServerKeyFile, expired.keyPem);
             test::writeBytes(d / kServerCertificateFile, expired.certificatePem);
         },
         "has expired"},
        {"damaged certificate",
         [](const fs::path& d) { test::writeBytes(d / kServerCertificateFile, "-----BEGIN"); },
         "no usable certificate"},
        {"damaged key",
         [](const fs::path& d) { test::writeBytes(d / kServerKeyFile, "not a key"); },
         "no usable private key"},
        {"unreadable certificate",
         [](const fs::path& d) {
             fs::remove(d / kServerCertificateFile);
             fs::create_directory(d / kServerCertificateFile);
         },
         "cannot be read"},
    };
    for (const auto& [what, spoil, says] : cases) {
        test::TemporaryDirectory dir;
        std::string error;
        ASSERT_TRUE(loadOrCreateTlsCredentials(dir.path(), kUuid, "lab-pc", error)) << error;
        spoil(dir.path());
        const auto before = bothFiles(dir.path());
        EXPECT_FALSE(loadOrCreateTlsCredentials(dir.path(), kUuid, "lab-pc", error)) << what;
        EXPECT_NE(error.find(says), std::string::npos) << what << ": " << error;
        EXPECT_NE(error.find("Remove"), std::string::npos) << what << ": " << error;
        EXPECT_EQ(bothFiles(dir.path()), before) << what << ": both files stay as they were";
    }
}

TEST(TlsCredentials, TheLaboratorysOwnPairMustBelongTogether) {
    const Pair ours = madePair(kUuid);
    const Pair another = madePair(kUuid);
    const Pair signedByAuthority = authoritySignedPair();
    struct Case {
        const char* what;
        std::string keyPem;
        std::string certificatePem;
        const char* says; // empty: accepted
        bool selfSigned;
    };
    const Case cases[] = {
        {"a self-signed pair", ours.keyPem, ours.certificatePem, "", true},
        {"a chain signed by an authority", signedByAuthority.keyPem,
         signedByAuthority.certificatePem, "", false},
        {"halves of two pairs", ours.keyPem, another.certificatePem, "does not belong", false},
        {"a key behind a passphrase", encryptedPem(ours.keyPem), ours.certificatePem, "passphrase",
         false},
        {"the certificate given as the key", ours.certificatePem, ours.certificatePem,
         "no usable private key", false},
    };
    for (const auto& [what, keyPem, certificatePem, says, selfSigned] : cases) {
        test::TemporaryDirectory dir;
        test::writeBytes(dir.file("lab.key"), keyPem);
        test::writeBytes(dir.file("lab.pem"), certificatePem);
        std::string error;
        const auto loaded = loadTlsCredentials(dir.file("lab.pem"), dir.file("lab.key"), error);
        if (std::string(says).empty()) {
            ASSERT_TRUE(loaded) << what << ": " << error;
            EXPECT_EQ(loaded->certificatePem, certificatePem) << what << ": the whole chain";
            EXPECT_EQ(loaded->privateKeyPem, keyPem);
            EXPECT_EQ(loaded->selfSigned, selfSigned) << what;
        } else {
            EXPECT_FALSE(loaded) << what;
            EXPECT_NE(error.find(says), std::string::npos) << what << ": " << error;
        }
    }
    std::string error;
    EXPECT_FALSE(loadTlsCredentials("/nonexistent/lab.pem", "/nonexistent/lab.key", error));
    EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
}

// The authority as discovery announces it.
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
