#include "FeatureIdentifier.h"

#include <algorithm>
#include <array>

namespace kqvdr::remote {
namespace {

bool letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A letter, then letters and digits, and dots where `dots` allows them.
bool name(std::string_view part, bool dots) {
    if (part.empty() || !letter(part.front())) {
        return false;
    }
    return std::all_of(part.begin(), part.end(),
                       [dots](char c) { return letter(c) || digit(c) || (dots && c == '.'); });
}

} // namespace

bool isFullyQualifiedFeatureIdentifier(std::string_view text) {
    std::array<std::string_view, 4> parts;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::size_t slash = text.find('/');
        if ((slash == std::string_view::npos) != (i == parts.size() - 1)) {
            return false;
        }
        parts[i] = text.substr(0, slash);
        text = slash == std::string_view::npos ? std::string_view() : text.substr(slash + 1);
    }
    const std::string_view version = parts[3];
    return name(parts[0], true) && name(parts[1], true) && name(parts[2], false) &&
           version.size() >= 2 && lower(version.front()) == 'v' &&
           std::all_of(version.begin() + 1, version.end(), digit);
}

bool sameIdentifier(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

} // namespace kqvdr::remote
