#include "LocalAddress.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

TEST(LocalAddress, OnlyAddressesNoOtherComputerCanReachAreLocal) {
    const struct {
        const char* address;
        bool local;
    } cases[] = {
        {"127.0.0.1", true},  {"127.1.2.3", true},
        {"localhost", true},  {"::1", true},
        {"[::1]", true},      {"::ffff:127.0.0.1", true},
        {"0.0.0.0", false},   {"::", false},
        {"[::]", false},      {"192.168.1.20", false},
        {"128.0.0.1", false}, {"::ffff:10.0.0.1", false},
        {"fe80::1", false},   {"lab-pc.local", false},
        {"", false},          {"127.0.0.1.example", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isLocalOnlyAddress(c.address), c.local) << c.address;
    }
}

} // namespace
} // namespace kqvdr::remote
