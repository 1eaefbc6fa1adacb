#pragma once

#include <memory>
#include <openssl/evp.h>
#include <openssl/x509.h>
#include <string>
#include <string_view>

namespace kqvdr {

struct OpenSslFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
};
using KeyPointer = std::unique_ptr<EVP_PKEY, OpenSslFree>;
using CertificatePointer = std::unique_ptr<X509, OpenSslFree>;

// OpenSSL's queued errors as one line, and the queue emptied.
std::string takeOpenSslErrors();

// The private key in PEM text. An encrypted key is refused at once: nobody is asked for a
// passphrase, which would wait on a terminal the program does not have.
KeyPointer privateKeyFromPem(std::string_view pem, std::string& error);
// The first certificate in PEM text (a chain starts with the server's own).
CertificatePointer certificateFromPem(std::string_view pem, std::string& error);

std::string pemOfPrivateKey(EVP_PKEY* key);
std::string pemOfCertificate(X509* certificate);

} // namespace kqvdr
