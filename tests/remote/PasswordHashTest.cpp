#include "PasswordHash.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

constexpr ScryptCost kCheap{1024, 8, 1};

TEST(PasswordHashTest, OnlyTheRightPasswordMatches) {
    const auto stored = hashPassword("correct horse", kCheap);
    ASSERT_TRUE(stored);
    EXPECT_TRUE(passwordMatches(*stored, "correct horse"));
    for (const char* wrong : {"", "correct hors", "correct horsE", "correct horse "}) {
        EXPECT_FALSE(passwordMatches(*stored, wrong)) << wrong;
    }
}

TEST(PasswordHashTest, EachHashHasItsOwnSaltSoEqualPasswordsLookDifferent) {
    const auto first = hashPassword("same", kCheap);
    const auto second = hashPassword("same", kCheap);
    ASSERT_TRUE(first && second);
    EXPECT_GE(first->salt.size(), 16u);
    EXPECT_NE(first->salt, second->salt);
    EXPECT_NE(first->hash, second->hash);
}

TEST(PasswordHashTest, TheCostTravelsWithTheHashSoAnOlderCostStillChecks) {
    const auto older = hashPassword("pw", {512, 4, 1});
    ASSERT_TRUE(older);
    EXPECT_EQ(older->cost, (ScryptCost{512, 4, 1}));
    EXPECT_TRUE(passwordMatches(*older, "pw"));
    PasswordHash raised = *older;
    raised.cost = kCheap;
    EXPECT_FALSE(passwordMatches(raised, "pw"));
}

TEST(PasswordHashTest, CostsThatAreNoScryptOrWouldExhaustThePcAreRefused) {
    EXPECT_TRUE(usableCost(kDefaultScryptCost));
    for (const ScryptCost bad :
         {ScryptCost{0, 8, 1}, ScryptCost{1, 8, 1}, ScryptCost{1000, 8, 1}, ScryptCost{1024, 0, 1},
          ScryptCost{1024, 8, 0}, ScryptCost{1ull << 24, 8, 1}, ScryptCost{1024, 8, 17}}) {
        EXPECT_FALSE(usableCost(bad)) << bad.n << " " << bad.r << " " << bad.p;
        EXPECT_FALSE(hashPassword("pw", bad));
        EXPECT_FALSE(passwordMatches(PasswordHash{bad, "salt", "hash"}, "pw"));
    }
}

} // namespace
} // namespace kqvdr::remote
