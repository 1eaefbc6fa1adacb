#pragma once

#include "OpenSslPem.h"

#include <string>

namespace kqvdr {

inline constexpr int kSelfSignedValidityDays = 10 * 365;

// A new key for the server: EC on P-256, which every TLS client speaks and which is made at once.
KeyPointer newServerKey(std::string& error);

// A self-signed X.509 v3 certificate for the key, valid for ten years from a day ago (clocks
// differ), with the common name SiLA2 that clients expect of a certificate they cannot trust
// through an authority, the server's UUID in its extension, and the names a client may connect
// by: localhost, 127.0.0.1 and the host name (an address when it is one).
CertificatePointer newSelfSignedCertificate(EVP_PKEY* key, const std::string& serverUuid,
                                            const std::string& hostName, std::string& error);

} // namespace kqvdr
