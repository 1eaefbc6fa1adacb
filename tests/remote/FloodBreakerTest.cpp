#include "FloodBreaker.h"

#include <gtest/gtest.h>
#include <vector>

namespace kqvdr::remote {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;

// One look of the guard: resident memory, and what each connection has received so far.
struct Look {
    std::size_t residentMiB;
    std::map<std::uint64_t, std::uint64_t> received;
};

// Plays the looks through a breaker, handing it the counters only while it watches, as the
// guard does; the connections cut, in order. A settled breaker has seen the program's start
// pass at the first look's memory.
std::vector<std::uint64_t> cuts(const std::vector<Look>& looks, bool settled = true) {
    FloodBreaker breaker;
    for (std::size_t i = 0; settled && i < FloodBreaker::kSettleLooks; ++i) {
        breaker.look(looks.front().residentMiB * kMiB, {});
    }
    std::vector<std::uint64_t> cut;
    for (const Look& look : looks) {
        auto received =
            breaker.watching() ? look.received : std::map<std::uint64_t, std::uint64_t>{};
        if (const auto blamed = breaker.look(look.residentMiB * kMiB, std::move(received))) {
            cut.push_back(*blamed);
        }
    }
    return cut;
}

// 10 MiB a second for two seconds, one connection sending steadily: a log analysed while a
// client stores methods, not a flood.
std::vector<Look> slowGrowth() {
    std::vector<Look> looks;
    for (std::uint64_t i = 0; i < 40; ++i) {
        looks.push_back({56 + i / 2, {{2, i * 20000}}});
    }
    return looks;
}

TEST(FloodBreaker, CutsOnlyTheConnectionThatSentMostWhileMemoryGrewAsOnlyAFloodMakesIt) {
    // Connection 1 is a subscriber (it sends almost nothing), 2 the flood, 3 a busy client.
    const struct {
        const char* what;
        std::vector<Look> looks;
        std::vector<std::uint64_t> cut;
    } cases[] = {
        {"steady memory, however much arrives",
         {{56, {{1, 100}, {2, 0}}},
          {56, {{1, 200}, {2, 900000}}},
          {57, {{1, 300}, {2, 1800000}}},
          {56, {{1, 400}, {2, 2700000}}}},
         {}},
        {"a flood: memory grows by megabytes a look, one connection sends it",
         {{56, {{1, 100}, {2, 0}}},
          {62, {{1, 100}, {2, 40000}}},
          {68, {{1, 110}, {2, 80000}}},
          {74, {{1, 120}, {2, 120000}}},
          {80, {{1, 130}, {2, 160000}}}},
         {2}},
        {"the busier of two senders is the one cut",
         {{56, {{2, 0}, {3, 0}}},
          {66, {{2, 40000}, {3, 20000}}},
          {76, {{2, 80000}, {3, 40000}}},
          {86, {{2, 120000}, {3, 60000}}}},
         {2}},
        {"memory grows (a log analysed) but nobody sends much: nothing is cut",
         {{56, {{1, 100}, {3, 200}}},
          {66, {{1, 150}, {3, 300}}},
          {76, {{1, 200}, {3, 400}}},
          {86, {{1, 250}, {3, 500}}}},
         {}},
        {"memory that grew slowly over many looks is no flood", slowGrowth(), {}},
        {"a login's hash takes its memory in one step while a client is busy: nothing is cut",
         {{56, {{1, 100}, {3, 0}}},
          {90, {{1, 110}, {3, 20000}}},
          {90, {{1, 120}, {3, 40000}}},
          {91, {{1, 130}, {3, 60000}}},
          {90, {{1, 140}, {3, 80000}}}},
         {}},
        {"a flood cut is not blamed on the next sender while its memory is given back",
         {{56, {{2, 0}, {3, 0}}},
          {66, {{2, 40000}, {3, 0}}},
          {76, {{2, 80000}, {3, 0}}},
          {86, {{2, 120000}, {3, 0}}},
          {88, {{3, 10000}}},
          {90, {{3, 20000}}},
          {92, {{3, 30000}}}},
         {2}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cuts(c.looks), c.cut) << c.what;
    }
}

TEST(FloodBreaker, LeavesAloneTheClientsOfAProgramWhoseOwnStartGrowsItsMemory) {
    std::vector<Look> start;
    for (std::uint64_t i = 0; i < FloodBreaker::kSettleLooks; ++i) {
        start.push_back({40 + 2 * i, {{3, i * 20000}}});
    }
    EXPECT_TRUE(cuts(start, false).empty());
    start.push_back({start.back().residentMiB + 6, {{3, 2000000}}});
    start.push_back({start.back().residentMiB + 6, {{3, 2040000}}});
    start.push_back({start.back().residentMiB + 6, {{3, 2080000}}});
    EXPECT_EQ(cuts(start, false), std::vector<std::uint64_t>{3}) << "a flood once it has settled";
}

} // namespace
} // namespace kqvdr::remote
