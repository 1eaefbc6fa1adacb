#include "GrpcLogGate.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

TEST(GrpcLogGate, CountsHandshakeFailuresAndKnowsAFailedAccept) {
    EXPECT_TRUE(GrpcLogGate::counted("Handshake failed with fatal error SSL_ERROR_SSL"));
    EXPECT_FALSE(GrpcLogGate::counted("Failed accept4: Too many open files"));
    EXPECT_TRUE(GrpcLogGate::failedAccept("Failed accept4: Too many open files"));
    EXPECT_FALSE(GrpcLogGate::failedAccept("Handshake failed with fatal error SSL_ERROR_SSL"));
}

// One line per connection a client resets before Windows accepts it: counted, never a sign
// that the listener gave up.
TEST(GrpcLogGate, CountsWindowsAcceptErrorsApartFromHandshakesAndFailedAccepts) {
    constexpr const char* line = "on_accept error: Invalid argument.";
    EXPECT_TRUE(GrpcLogGate::acceptError(line));
    EXPECT_FALSE(GrpcLogGate::counted(line));
    EXPECT_FALSE(GrpcLogGate::failedAccept(line));
    EXPECT_FALSE(GrpcLogGate::acceptError("Failed accept4: Too many open files"));
    EXPECT_FALSE(GrpcLogGate::acceptError("Handshake failed with fatal error SSL_ERROR_SSL"));
}

} // namespace
} // namespace kqvdr::remote
