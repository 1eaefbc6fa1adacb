#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kqvdr {

struct TlsCredentials {
    std::string privateKeyPem;
    std::string certificatePem; // the whole file: the server's certificate and any chain
    bool selfSigned = false;
};

inline constexpr const char* kServerKeyFile = "sila-server.key";
inline constexpr const char* kServerCertificateFile = "sila-server.pem";

// The server's own pair in the data directory: made on first use (the key readable by its
// owner only from the moment it exists, a self-signed certificate beside it), reused on later
// starts. A pair that is there is never replaced, since a laboratory may have pinned the
// certificate: one that cannot be read, whose halves do not belong together, that carries
// another server's UUID or has expired is refused, and `error` says which file and what to do.
// A key whose certificate is missing gets a new certificate (nobody can have pinned one).
std::optional<TlsCredentials> loadOrCreateTlsCredentials(const std::filesystem::path& dataDirectory,
                                                         const std::string& serverUuid,
                                                         const std::string& hostName,
                                                         std::string& error);

// The laboratory's own pair: both must read, belong together, and the certificate must not
// have expired.
std::optional<TlsCredentials> loadTlsCredentials(const std::filesystem::path& certificate,
                                                 const std::filesystem::path& privateKey,
                                                 std::string& error);

} // namespace kqvdr
