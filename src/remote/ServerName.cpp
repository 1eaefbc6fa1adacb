#include "ServerName.h"

namespace kqvdr {
namespace {

// Length of the sequence a lead byte opens, 0 for a byte that cannot lead one.
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

// Overlong forms, surrogates and code points past U+10FFFF show in the second byte.
bool secondByteFits(unsigned char lead, unsigned char second) {
    switch (lead) {
    case 0xE0:
        return second >= 0xA0;
    case 0xED:
        return second < 0xA0;
    case 0xF0:
        return second >= 0x90;
    case 0xF4:
        return second < 0x90;
    default:
        return true;
    }
}

// The length of the UTF-8 character at the start of the text; 0 when none starts there.
std::size_t characterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = sequenceLength(lead);
    if (length == 0 || length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80 || (i == 1 && !secondByteFits(lead, next))) {
            return 0;
        }
    }
    return length;
}

// The code points of text already known to be UTF-8.
template <typename Visit> void forEachCodePoint(std::string_view text, Visit visit) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = sequenceLength(lead);
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
        }
        visit(point);
        at += length;
    }
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Marks, embeddings, overrides and isolates that reorder the text around them.
bool isBidiControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

bool isSpace(char32_t c) {
    return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

} // namespace

std::optional<std::size_t> utf8CharacterCount(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); ++characters) {
        const std::size_t length = characterLength(text.substr(at));
        if (length == 0) {
            return std::nullopt;
        }
        at += length;
    }
    return characters;
}

std::string repairedUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (const std::size_t length = characterLength(text.substr(at)); length != 0) {
            result.append(text.substr(at, length));
            at += length;
        } else {
            result += "\xef\xbf\xbd";
            ++at;
        }
    }
    return result;
}

std::string serverNameProblem(std::string_view name) {
    const auto characters = utf8CharacterCount(name);
    if (!characters) {
        return "The server name is not UTF-8 text.";
    }
    if (*characters > kMaxServerNameCharacters) {
        return "The server name has " + std::to_string(*characters) +
               " characters; at most 255 are allowed.";
    }
    return {};
}

std::string newServerNameProblem(std::string_view name) {
    if (std::string problem = serverNameProblem(name); !problem.empty()) {
        return problem;
    }
    bool control = false;
    bool bidi = false;
    bool onlySpaces = true;
    forEachCodePoint(name, [&](char32_t c) {
        control = control || isControl(c);
        bidi = bidi || isBidiControl(c);
        onlySpaces = onlySpaces && isSpace(c);
    });
    if (control) {
        return "The server name contains a control character.";
    }
    if (bidi) {
        return "The server name contains a character that reverses the direction of text.";
    }
    if (onlySpaces && !name.empty()) {
        return "The server name is nothing but spaces.";
    }
    return {};
}

} // namespace kqvdr
