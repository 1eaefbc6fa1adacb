#include "CertificateFacts.h"

#include <memory>
#include <openssl/err.h>
#include <openssl/objects.h>

namespace kqvdr {
namespace {

struct ObjectFree {
    void operator()(ASN1_OBJECT* object) const { ASN1_OBJECT_free(object); }
};

} // namespace

std::optional<std::string> serverUuidInCertificate(X509* certificate) {
    const std::unique_ptr<ASN1_OBJECT, ObjectFree> oid(OBJ_txt2obj(kServerUuidExtensionOid, 1));
    const int index = oid ? X509_get_ext_by_OBJ(certificate, oid.get(), -1) : -1;
    if (index < 0) {
        return std::nullopt;
    }
    const ASN1_OCTET_STRING* value = X509_EXTENSION_get_data(X509_get_ext(certificate, index));
    return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(value)),
                       static_cast<std::size_t>(ASN1_STRING_length(value)));
}

bool selfSignedCertificate(X509* certificate) {
    const bool self = X509_self_signed(certificate, 1) == 1;
    ERR_clear_error();
    return self;
}

bool keyBelongsToCertificate(X509* certificate, EVP_PKEY* key) {
    const bool belongs = X509_check_private_key(certificate, key) == 1;
    ERR_clear_error();
    return belongs;
}

bool certificateExpired(X509* certificate) {
    return X509_cmp_current_time(X509_get0_notAfter(certificate)) < 0;
}

} // namespace kqvdr
