#include "OpenSslPem.h"

#include <openssl/err.h>
#include <openssl/pem.h>

namespace kqvdr {
namespace {

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using BioPointer = std::unique_ptr<BIO, BioFree>;

BioPointer readingBio(std::string_view text) {
    return BioPointer(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
}

int noPassphrase(char*, int, int, void*) {
    return -1;
}

std::string bioText(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

} // namespace

std::string takeOpenSslErrors() {
    std::string text;
    while (const unsigned long code = ERR_get_error()) {
        char line[256];
        ERR_error_string_n(code, line, sizeof line);
        text += text.empty() ? "" : "; ";
        text += line;
    }
    return text.empty() ? "no reason given" : text;
}

KeyPointer privateKeyFromPem(std::string_view pem, std::string& error) {
    const auto bio = readingBio(pem);
    KeyPointer key(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, noPassphrase, nullptr)
                       : nullptr);
    if (!key) {
        error = pem.find("ENCRYPTED") != std::string_view::npos
                    ? "the key is protected by a passphrase, which the program cannot give"
                    : "no private key in PEM form (" + takeOpenSslErrors() + ")";
    }
    ERR_clear_error();
    return key;
}

CertificatePointer certificateFromPem(std::string_view pem, std::string& error) {
    const auto bio = readingBio(pem);
    CertificatePointer certificate(
        bio ? PEM_read_bio_X509(bio.get(), nullptr, noPassphrase, nullptr) : nullptr);
    if (!certificate) {
        error = "no certificate in PEM form (" + takeOpenSslErrors() + ")";
    }
    ERR_clear_error();
    return certificate;
}

std::string pemOfPrivateKey(EVP_PKEY* key) {
    const BioPointer bio(BIO_new(BIO_s_mem()));
    if (!bio ||
        PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) != 1) {
        return {};
    }
    return bioText(bio.get());
}

std::string pemOfCertificate(X509* certificate) {
    const BioPointer bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_X509(bio.get(), certificate) != 1) {
        return {};
    }
    return bioText(bio.get());
}

} // namespace kqvdr
