#include "OwnCounters.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace kqvdr::remote {
namespace {

TEST(OwnCounters, TheProcessMemoryGrowsWithWhatItAllocatesAndTouches) {
    const auto before = residentBytes();
    ASSERT_TRUE(before);
    EXPECT_GT(*before, 0u);
    constexpr std::size_t kBytes = 64 * 1024 * 1024;
    const auto block = std::make_unique<char[]>(kBytes);
    std::memset(block.get(), 1, kBytes);
    const auto after = residentBytes();
    ASSERT_TRUE(after);
    EXPECT_GE(*after, *before + kBytes * 3 / 4) << "before " << *before << ", after " << *after;
    EXPECT_EQ(block[kBytes - 1], 1);
}

} // namespace
} // namespace kqvdr::remote
