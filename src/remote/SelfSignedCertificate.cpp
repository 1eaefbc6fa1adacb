#include "SelfSignedCertificate.h"

#include "CertificateFacts.h"
#include "InetHeaders.h"

#include <array>
#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/objects.h>
#include <openssl/x509v3.h>

namespace kqvdr {
namespace {

template <typename T, void (*Free)(T*)> struct Freed {
    void operator()(T* p) const { Free(p); }
};
using BignumPointer = std::unique_ptr<BIGNUM, Freed<BIGNUM, BN_free>>;
using ExtensionPointer =
    std::unique_ptr<X509_EXTENSION, Freed<X509_EXTENSION, X509_EXTENSION_free>>;
using OctetsPointer =
    std::unique_ptr<ASN1_OCTET_STRING, Freed<ASN1_OCTET_STRING, ASN1_OCTET_STRING_free>>;
using ObjectPointer = std::unique_ptr<ASN1_OBJECT, Freed<ASN1_OBJECT, ASN1_OBJECT_free>>;

using NamesPointer = std::unique_ptr<GENERAL_NAMES, Freed<GENERAL_NAMES, GENERAL_NAMES_free>>;

// A name fit for a DNS entry: printable ASCII without spaces; anything else is left out.
bool dnsNameFits(const std::string& name) {
    if (name.empty() || name.size() > 253) {
        return false;
    }
    for (const char c : name) {
        if (c <= ' ' || c > '~') {
            return false;
        }
    }
    return true;
}

bool addName(GENERAL_NAMES* names, int type, const std::string& value) {
    GENERAL_NAME* name = GENERAL_NAME_new();
    ASN1_STRING* text = type == GEN_DNS ? ASN1_IA5STRING_new() : ASN1_OCTET_STRING_new();
    if (!name || !text ||
        ASN1_STRING_set(text, value.data(), static_cast<int>(value.size())) != 1) {
        GENERAL_NAME_free(name);
        ASN1_STRING_free(text);
        return false;
    }
    GENERAL_NAME_set0_value(name, type, text);
    if (sk_GENERAL_NAME_push(names, name) == 0) {
        GENERAL_NAME_free(name);
        return false;
    }
    return true;
}

// The host name as the bytes of an address when it is one (4 or 16 bytes), else empty.
std::string addressBytes(const std::string& text) {
    std::array<unsigned char, 16> bytes{};
    if (inet_pton(AF_INET, text.c_str(), bytes.data()) == 1) {
        return std::string(reinterpret_cast<const char*>(bytes.data()), 4);
    }
    if (inet_pton(AF_INET6, text.c_str(), bytes.data()) == 1) {
        return std::string(reinterpret_cast<const char*>(bytes.data()), 16);
    }
    return {};
}

bool addAlternativeNames(X509* certificate, const std::string& hostName) {
    const NamesPointer names(GENERAL_NAMES_new());
    const std::string loopback("\x7f\x00\x00\x01", 4);
    bool added = names && addName(names.get(), GEN_DNS, "localhost") &&
                 addName(names.get(), GEN_IPADD, loopback);
    const std::string address = addressBytes(hostName);
    if (added && !address.empty() && address != loopback) {
        added = addName(names.get(), GEN_IPADD, address);
    } else if (added && address.empty() && hostName != "localhost" && dnsNameFits(hostName)) {
        added = addName(names.get(), GEN_DNS, hostName);
    }
    return added && X509_add1_ext_i2d(certificate, NID_subject_alt_name, names.get(), 0,
                                      X509V3_ADD_DEFAULT) == 1;
}

bool addConfiguredExtension(X509* certificate, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    const ExtensionPointer extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
    return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

bool addUuidExtension(X509* certificate, const std::string& serverUuid) {
    const ObjectPointer oid(OBJ_txt2obj(kServerUuidExtensionOid, 1));
    const OctetsPointer value(ASN1_OCTET_STRING_new());
    if (!oid || !value ||
        ASN1_OCTET_STRING_set(value.get(),
                              reinterpret_cast<const unsigned char*>(serverUuid.data()),
                              static_cast<int>(serverUuid.size())) != 1) {
        return false;
    }
    const ExtensionPointer extension(
        X509_EXTENSION_create_by_OBJ(nullptr, oid.get(), 0, value.get()));
    return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

bool setRandomSerial(X509* certificate) {
    const BignumPointer serial(BN_new());
    return serial && BN_rand(serial.get(), 127, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) == 1 &&
           BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate)) != nullptr;
}

bool setSubject(X509* certificate) {
    X509_NAME* name = X509_get_subject_name(certificate);
    return X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                      reinterpret_cast<const unsigned char*>("SiLA2"), -1, -1,
                                      0) == 1 &&
           X509_set_issuer_name(certificate, name) == 1;
}

bool setValidity(X509* certificate) {
    constexpr long kDay = 24L * 60 * 60;
    return X509_gmtime_adj(X509_getm_notBefore(certificate), -kDay) != nullptr &&
           X509_time_adj_ex(X509_getm_notAfter(certificate), kSelfSignedValidityDays, 0, nullptr) !=
               nullptr;
}

} // namespace

KeyPointer newServerKey(std::string& error) {
    KeyPointer key(EVP_EC_gen("P-256"));
    if (!key) {
        error = "no new key could be made (" + takeOpenSslErrors() + ")";
    }
    return key;
}

CertificatePointer newSelfSignedCertificate(EVP_PKEY* key, const std::string& serverUuid,
                                            const std::string& hostName, std::string& error) {
    CertificatePointer certificate(X509_new());
    // keyCertSign: several TLS libraries count a certificate as self-signed, and so as a trust
    // anchor of its own, only when its key may sign certificates.
    const bool made =
        certificate && X509_set_version(certificate.get(), X509_VERSION_3) == 1 &&
        setRandomSerial(certificate.get()) && setSubject(certificate.get()) &&
        setValidity(certificate.get()) && X509_set_pubkey(certificate.get(), key) == 1 &&
        addConfiguredExtension(certificate.get(), NID_basic_constraints, "critical,CA:FALSE") &&
        addConfiguredExtension(certificate.get(), NID_key_usage,
                               "critical,digitalSignature,keyCertSign") &&
        addConfiguredExtension(certificate.get(), NID_ext_key_usage, "serverAuth,clientAuth") &&
        addConfiguredExtension(certificate.get(), NID_subject_key_identifier, "hash") &&
        addAlternativeNames(certificate.get(), hostName) &&
        addUuidExtension(certificate.get(), serverUuid) &&
        X509_sign(certificate.get(), key, EVP_sha256()) > 0;
    if (!made) {
        error = "no certificate could be made (" + takeOpenSslErrors() + ")";
        return nullptr;
    }
    return certificate;
}

} // namespace kqvdr
