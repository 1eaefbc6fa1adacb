#include "Uuid.h"

#include "SystemRandom.h"

#include <array>
#include <cctype>

namespace kqvdr {

std::optional<std::string> newRandomUuid() {
    std::array<unsigned char, 16> bytes{};
    if (!systemRandomBytes(bytes)) {
        return std::nullopt;
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text += '-';
        }
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::optional<std::string> canonicalUuid(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    std::string result(text);
    for (std::size_t i = 0; i < result.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const auto c = static_cast<unsigned char>(result[i]);
        if (dash ? c != '-' : !std::isxdigit(c)) {
            return std::nullopt;
        }
        result[i] = static_cast<char>(std::tolower(c));
    }
    return result;
}

} // namespace kqvdr
