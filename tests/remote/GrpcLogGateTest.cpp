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

} // namespace
} // namespace kqvdr::remote
