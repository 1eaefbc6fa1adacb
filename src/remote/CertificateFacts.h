#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>
#include <optional>
#include <string>

namespace kqvdr {

// The extension that carries a SiLA 2 server's UUID, as ASCII text, in its certificate.
inline constexpr const char* kServerUuidExtensionOid = "1.3.6.1.4.1.58583";

std::optional<std::string> serverUuidInCertificate(X509* certificate);
bool selfSignedCertificate(X509* certificate);
bool keyBelongsToCertificate(X509* certificate, EVP_PKEY* key);
// The certificate's end of validity has passed.
bool certificateExpired(X509* certificate);

} // namespace kqvdr
