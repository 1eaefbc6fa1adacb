#include "TlsCredentials.h"

#include "CertificateFacts.h"
#include "FileReplace.h"
#include "OpenSslPem.h"
#include "OwnerOnlyFile.h"
#include "SelfSignedCertificate.h"
#include "Utf8Path.h"
#include "Uuid.h"

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxPemBytes = 1024 * 1024;

struct LoadedPair {
    KeyPointer key;
    CertificatePointer certificate;
    TlsCredentials credentials;
};

// The file's PEM text in `pem` and what `parse` makes of it; null and `error` when either fails.
template <typename Parse>
auto readPemFile(const fs::path& path, std::string& pem, std::string& error, Parse parse,
                 const char* what) -> decltype(parse(pem, error)) {
    if (const auto readError = readWholeFile(path, pem, kMaxPemBytes)) {
        error = utf8FromPath(path) + " cannot be read (" + readError.message() + ")." +
                privateFileAdvice(readError);
        return nullptr;
    }
    std::string problem;
    auto parsed = parse(pem, problem);
    if (!parsed) {
        error = utf8FromPath(path) + " holds no usable " + what + ": " + problem + ".";
    }
    return parsed;
}

KeyPointer readKey(const fs::path& path, std::string& pem, std::string& error) {
    return readPemFile(path, pem, error, privateKeyFromPem, "private key");
}

CertificatePointer readCertificate(const fs::path& path, std::string& pem, std::string& error) {
    return readPemFile(path, pem, error, certificateFromPem, "certificate");
}

// Both halves read, belong together and are still valid.
std::optional<LoadedPair> loadPair(const fs::path& certificatePath, const fs::path& keyPath,
                                   std::string& error) {
    LoadedPair pair;
    pair.key = readKey(keyPath, pair.credentials.privateKeyPem, error);
    if (!pair.key) {
        return std::nullopt;
    }
    pair.certificate = readCertificate(certificatePath, pair.credentials.certificatePem, error);
    if (!pair.certificate) {
        return std::nullopt;
    }
    if (!keyBelongsToCertificate(pair.certificate.get(), pair.key.get())) {
        error = "The key " + utf8FromPath(keyPath) + " does not belong to the certificate " +
                utf8FromPath(certificatePath) + ".";
        return std::nullopt;
    }
    if (certificateExpired(pair.certificate.get())) {
        error = "The certificate " + utf8FromPath(certificatePath) + " has expired.";
        return std::nullopt;
    }
    pair.credentials.selfSigned = selfSignedCertificate(pair.certificate.get());
    return pair;
}

const char* kRemoveBoth = " Remove both files to have a new pair made; clients that pinned the "
                          "old certificate must then be given the new one.";

std::optional<TlsCredentials> loadOwnPair(const fs::path& certificatePath, const fs::path& keyPath,
                                          const std::string& serverUuid, std::string& error) {
    auto pair = loadPair(certificatePath, keyPath, error);
    if (!pair) {
        error += kRemoveBoth;
        return std::nullopt;
    }
    const auto carried = serverUuidInCertificate(pair->certificate.get());
    const auto ours = canonicalUuid(serverUuid);
    if (!carried || !ours || canonicalUuid(*carried) != ours) {
        error = "The certificate " + utf8FromPath(certificatePath) +
                (carried ? " carries the server UUID " + *carried + ", not this server's " +
                               serverUuid + "."
                         : " carries no server UUID.") +
                kRemoveBoth;
        return std::nullopt;
    }
    return std::move(pair->credentials);
}

// The key: the one there, or a new one written readable by its owner only.
KeyPointer ownKey(const fs::path& keyPath, bool there, std::string& pem, std::string& error) {
    if (there) {
        KeyPointer key = readKey(keyPath, pem, error);
        if (!key) {
            error += " Remove it and " + std::string(kServerCertificateFile) +
                     " to have a new pair made.";
        }
        return key;
    }
    std::string problem;
    KeyPointer key = newServerKey(problem);
    pem = key ? pemOfPrivateKey(key.get()) : std::string();
    if (pem.empty()) {
        error = "The server's TLS key cannot be made: " + problem + ".";
        return nullptr;
    }
    if (const auto writeError =
            replaceFileContent(keyPath, pem, systemFileWriteCalls(), FileAccess::OwnerOnly)) {
        error = "The server's TLS key cannot be stored in " + utf8FromPath(keyPath) + " (" +
                writeError.message() + ").";
        return nullptr;
    }
    return key;
}

std::optional<TlsCredentials> makeCertificate(const fs::path& certificatePath, EVP_PKEY* key,
                                              std::string keyPem, const std::string& serverUuid,
                                              const std::string& hostName, std::string& error) {
    std::string problem;
    const auto certificate = newSelfSignedCertificate(key, serverUuid, hostName, problem);
    const std::string pem = certificate ? pemOfCertificate(certificate.get()) : std::string();
    if (pem.empty()) {
        error = "The server's TLS certificate cannot be made: " + problem + ".";
        return std::nullopt;
    }
    if (const auto writeError = replaceFileContent(certificatePath, pem)) {
        error = "The server's TLS certificate cannot be stored in " +
                utf8FromPath(certificatePath) + " (" + writeError.message() + ").";
        return std::nullopt;
    }
    return TlsCredentials{std::move(keyPem), pem, true};
}

bool present(const fs::path& path, bool& there, std::string& error) {
    std::error_code lookError;
    there = fs::exists(path, lookError);
    if (lookError) {
        error = utf8FromPath(path) + " cannot be looked at (" + lookError.message() + ").";
        return false;
    }
    return true;
}

} // namespace

std::optional<TlsCredentials> loadOrCreateTlsCredentials(const fs::path& dataDirectory,
                                                         const std::string& serverUuid,
                                                         const std::string& hostName,
                                                         std::string& error) {
    if (!canonicalUuid(serverUuid)) {
        error = "\"" + serverUuid + "\" is no server UUID.";
        return std::nullopt;
    }
    const fs::path keyPath = dataDirectory / kServerKeyFile;
    const fs::path certificatePath = dataDirectory / kServerCertificateFile;
    bool keyThere = false;
    bool certificateThere = false;
    if (!present(keyPath, keyThere, error) || !present(certificatePath, certificateThere, error)) {
        return std::nullopt;
    }
    if (certificateThere && !keyThere) {
        error = "The certificate " + utf8FromPath(certificatePath) + " is there without its key " +
                utf8FromPath(keyPath) + "." + kRemoveBoth;
        return std::nullopt;
    }
    if (certificateThere) {
        return loadOwnPair(certificatePath, keyPath, serverUuid, error);
    }
    std::string keyPem;
    const KeyPointer key = ownKey(keyPath, keyThere, keyPem, error);
    if (!key) {
        return std::nullopt;
    }
    return makeCertificate(certificatePath, key.get(), std::move(keyPem), serverUuid, hostName,
                           error);
}

std::optional<TlsCredentials> loadTlsCredentials(const fs::path& certificate,
                                                 const fs::path& privateKey, std::string& error) {
    auto pair = loadPair(certificate, privateKey, error);
    if (!pair) {
        return std::nullopt;
    }
    return std::move(pair->credentials);
}

} // namespace kqvdr
