#include "Sha256.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <random>
#include <string>

namespace kqvdr {
namespace {

std::string libcryptoHex(const std::string& message) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(message.data(), message.size(), digest, &length, EVP_sha256(), nullptr);
    Sha256::Digest ours{};
    std::copy(digest, digest + length, ours.begin());
    return Sha256::hex(ours);
}

// Every length from empty to past three blocks, with bytes of every value, against OpenSSL.
TEST(Sha256AgainstLibcrypto, AgreesOnEveryLengthUpToThreeBlocks) {
    std::mt19937 random(15);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t length = 0; length <= 200; ++length) {
        std::string message(length, '\0');
        for (char& c : message) {
            c = static_cast<char>(byte(random));
        }
        ASSERT_EQ(Sha256::hex(Sha256::of(message)), libcryptoHex(message)) << length;
    }
}

} // namespace
} // namespace kqvdr
