#include "RecentLines.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

std::string numbered(int n) {
    return "line " + std::to_string(n);
}

TEST(RecentLines, RingWrapsAtItsEndAndListsOldestFirst) {
    struct Case {
        int written;
        int newestIndex;
        int oldestIndex;
        int firstListed;
    };
    const Case cases[] = {{5, 4, 0, 1},     {120, 119, 0, 1},     {121, 0, 1, 2},
                          {130, 9, 10, 11}, {240, 119, 120, 121}, {241, 0, 1, 122}};
    for (const Case& c : cases) {
        RecentLines ring;
        for (int n = 1; n <= c.written; ++n) {
            ring.store(numbered(n));
        }
        EXPECT_EQ(ring.line(c.newestIndex), numbered(c.written)) << c.written;
        EXPECT_EQ(ring.writeIndex(), c.newestIndex + 1) << c.written;
        EXPECT_EQ(ring.oldestIndex(), c.oldestIndex) << c.written;
        EXPECT_EQ(ring.wrapped(), c.written > 120) << c.written;
        const std::vector<std::string> listed = ring.oldestFirst();
        ASSERT_EQ(listed.size(), static_cast<std::size_t>(c.written - c.firstListed + 1));
        EXPECT_EQ(listed.front(), numbered(c.firstListed)) << c.written;
        EXPECT_EQ(listed.back(), numbered(c.written)) << c.written;
    }
}

TEST(RecentLines, NewLogEmptiesTheLinesAndResetsTheIndicesAtItsFirstLine) {
    RecentLines ring;
    for (int n = 1; n <= 130; ++n) {
        ring.store(numbered(n));
    }
    ring.prepareForNewLog();
    EXPECT_TRUE(ring.oldestFirst().empty()) << "no blank rows for the emptied entries";
    EXPECT_EQ(ring.oldestIndex(), 10) << "indices wait for the first line";
    ring.store("new 1");
    EXPECT_EQ(ring.writeIndex(), 1);
    EXPECT_EQ(ring.oldestIndex(), 0);
    EXPECT_FALSE(ring.wrapped());
    EXPECT_EQ(ring.oldestFirst(), std::vector<std::string>{"new 1"});
}

} // namespace
} // namespace kqvdr
