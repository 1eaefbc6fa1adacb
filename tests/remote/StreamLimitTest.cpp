#include "StreamLimit.h"

#include "SnapshotBoard.h"

#include <grpcpp/server_context.h>
#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

TEST(StreamLimit, GivesNoMoreSlotsThanItsMostAndTakesThemBackWhenTheyEnd) {
    SnapshotBoard board;
    StreamLimit limit(3, 2, board);
    grpc::ServerContext context; // one client: the same (empty) address for all
    {
        StreamLimit::Slot a(limit, context);
        StreamLimit::Slot b(limit, context);
        StreamLimit::Slot c(limit, context);
        EXPECT_TRUE(a);
        EXPECT_TRUE(b);
        EXPECT_FALSE(c);
        EXPECT_EQ(c.refusal(),
                  "This client has 2 streams open, as many as one client may: cancel one first.");
        EXPECT_EQ(limit.open(), 2u);
    }
    EXPECT_EQ(limit.open(), 0u);
    EXPECT_TRUE(StreamLimit::Slot(limit, context));
}

} // namespace
} // namespace kqvdr::remote
