#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kqvdr {

// SHA-256 (FIPS 180-4). Our own, in the core, so that the audit chain is computed by the same
// code on every platform the core builds for, with no crypto library to ship.
class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void update(std::string_view bytes);
    // Ends the message; the object must not be updated afterwards.
    Digest finish();

    static Digest of(std::string_view bytes);
    // Lower-case hexadecimal, 64 characters.
    static std::string hex(const Digest& digest);

private:
    void compress(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t totalBytes_ = 0;
};

} // namespace kqvdr
