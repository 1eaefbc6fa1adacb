#include "PasswordHash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace kqvdr::remote {
namespace {

std::optional<std::string> derive(std::string_view password, std::string_view salt,
                                  const ScryptCost& cost, std::size_t length) {
    if (!usableCost(cost)) {
        return std::nullopt;
    }
    std::string out(length, '\0');
    // OpenSSL's own ceiling is 32 MiB; ours is the one usableCost allows, plus its bookkeeping.
    const std::uint64_t memory = 128ull * cost.r * (cost.n + cost.p + 2);
    if (EVP_PBE_scrypt(password.data(), password.size(),
                       reinterpret_cast<const unsigned char*>(salt.data()), salt.size(), cost.n,
                       cost.r, cost.p, memory, reinterpret_cast<unsigned char*>(out.data()),
                       out.size()) != 1) {
        return std::nullopt;
    }
    return out;
}

} // namespace

std::optional<PasswordHash> hashPassword(std::string_view password, const ScryptCost& cost) {
    std::string salt(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), static_cast<int>(salt.size())) !=
        1) {
        return std::nullopt;
    }
    auto hash = derive(password, salt, cost, kHashBytes);
    if (!hash) {
        return std::nullopt;
    }
    return PasswordHash{cost, std::move(salt), std::move(*hash)};
}

bool passwordMatches(const PasswordHash& stored, std::string_view password) {
    if (stored.hash.empty()) {
        return false;
    }
    const auto hash = derive(password, stored.salt, stored.cost, stored.hash.size());
    return hash && CRYPTO_memcmp(hash->data(), stored.hash.data(), hash->size()) == 0;
}

} // namespace kqvdr::remote
