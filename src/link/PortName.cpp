#include "PortName.h"

#include <cctype>

namespace kqvdr {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number of "COM n", "COMn" or plain "n" (any case, blanks around it); 0 when it is none.
int typedComNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.size() >= 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(text[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(text[2])) == 'M') {
        text.remove_prefix(3);
        while (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
    }
    if (text.empty() || text.size() > 3 || text.front() == '0') {
        return 0;
    }
    int number = 0;
    for (const char c : text) {
        if (!isDigit(c)) {
            return 0;
        }
        number = number * 10 + (c - '0');
    }
    return number <= kHighestComPort ? number : 0;
}

} // namespace

std::optional<std::string> portFromText(std::string_view typed) {
    if (const int number = typedComNumber(typed); number > 0) {
        return "COM " + std::to_string(number);
    }
#ifndef _WIN32
    // A device path names itself; control characters would only end up in file names.
    if (typed.size() > 1 && typed.front() == '/' && typed.back() != '/') {
        for (const char c : typed) {
            if (static_cast<unsigned char>(c) < 0x20) {
                return std::nullopt;
            }
        }
        return std::string(typed);
    }
#endif
    return std::nullopt;
}

int comPortNumber(std::string_view port) {
    constexpr std::string_view kPrefix = "COM ";
    if (port.substr(0, kPrefix.size()) != kPrefix) {
        return 0;
    }
    const std::optional<std::string> exact = portFromText(port);
    return exact && *exact == port ? typedComNumber(port) : 0;
}

std::string portLogFileName(std::string_view port) {
    if (const int number = comPortNumber(port); number > 0) {
        return "vdr_com" + std::to_string(number) + ".log";
    }
    const std::size_t slash = port.find_last_of('/');
    std::string_view last = slash == std::string_view::npos ? port : port.substr(slash + 1);
    std::string name = "vdr_";
    for (const char c : last) {
        const bool plain =
            std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == '.';
        name += plain ? c : '_';
    }
    return name + ".log";
}

} // namespace kqvdr
