#include "LocalAddress.h"

#include "InetHeaders.h"

#include <cstring>
#include <string>

namespace kqvdr::remote {

bool isLocalOnlyAddress(std::string_view address) {
    std::string text(address);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        text = text.substr(1, text.size() - 2);
    }
    if (text == "localhost") {
        return true;
    }
    in_addr v4{};
    if (::inet_pton(AF_INET, text.c_str(), &v4) == 1) {
        return (ntohl(v4.s_addr) >> 24) == 127;
    }
    in6_addr v6{};
    if (::inet_pton(AF_INET6, text.c_str(), &v6) == 1) {
        static const unsigned char loopback[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
        static const unsigned char mappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
        return std::memcmp(v6.s6_addr, loopback, 16) == 0 ||
               (std::memcmp(v6.s6_addr, mappedPrefix, 12) == 0 && v6.s6_addr[12] == 127);
    }
    return false;
}

} // namespace kqvdr::remote
