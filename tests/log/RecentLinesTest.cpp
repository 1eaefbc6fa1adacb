#include "RecentLines.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

std::string numbered(int n) {
    return "line " + std::to_string(n);
}

void storeLines(RecentLines& ring, int from, int to) {
    for (int n = from; n <= to; ++n) {
        ring.store(numbered(n));
    }
}

struct RingCase {
    int linesWritten;
    int lastIndex; // where the newest line went
    int writeIndex;
    int oldestIndex;
    bool wrapped;
};

TEST(RecentLines, IndicesFollowTheRingAroundItsEnd) {
    const RingCase cases[] = {
        {1, 0, 1, 0, false},  {120, 119, 120, 0, false},  {121, 0, 1, 1, true},
        {122, 1, 2, 2, true}, {240, 119, 120, 120, true}, {241, 0, 1, 1, true},
    };
    for (const RingCase& c : cases) {
        RecentLines ring;
        storeLines(ring, 1, c.linesWritten);
        EXPECT_EQ(ring.line(c.lastIndex), numbered(c.linesWritten)) << c.linesWritten;
        EXPECT_EQ(ring.writeIndex(), c.writeIndex) << c.linesWritten;
        EXPECT_EQ(ring.oldestIndex(), c.oldestIndex) << c.linesWritten;
        EXPECT_EQ(ring.wrapped(), c.wrapped) << c.linesWritten;
        EXPECT_EQ(ring.lastLine(), numbered(c.linesWritten));
    }
}

TEST(RecentLines, OldestFirstListsWhatTheViewerOpensWith) {
    struct Case {
        int linesWritten;
        int first;
        int last;
    };
    for (const Case c : {Case{5, 1, 5}, Case{120, 1, 120}, Case{130, 11, 130}, Case{240, 121, 240},
                         Case{250, 131, 250}}) {
        RecentLines ring;
        storeLines(ring, 1, c.linesWritten);
        const std::vector<std::string> lines = ring.oldestFirst();
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.last - c.first + 1)) << c.linesWritten;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(lines[i], numbered(c.first + static_cast<int>(i))) << c.linesWritten;
        }
    }
}

TEST(RecentLines, NewLogEmptiesTheLinesAndResetsTheIndicesAtItsFirstLine) {
    RecentLines ring;
    storeLines(ring, 1, 130);
    ring.prepareForNewLog();
    EXPECT_TRUE(ring.oldestFirst().empty()) << "no blank rows for the emptied entries";
    EXPECT_EQ(ring.oldestIndex(), 10) << "indices wait for the first line";
    EXPECT_EQ(ring.lastLine(), numbered(130));

    ring.store("new 1");
    EXPECT_EQ(ring.writeIndex(), 1);
    EXPECT_EQ(ring.oldestIndex(), 0);
    EXPECT_FALSE(ring.wrapped());
    EXPECT_EQ(ring.oldestFirst(), std::vector<std::string>{"new 1"});
}

} // namespace
} // namespace kqvdr
