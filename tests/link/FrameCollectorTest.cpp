#include "FrameCollector.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace kqvdr {
namespace {

std::vector<std::string> collect(std::string_view stream) {
    FrameCollector collector;
    std::vector<std::string> frames;
    for (const char c : stream) {
        if (const auto body = collector.feed(static_cast<unsigned char>(c))) {
            frames.emplace_back(*body);
        }
    }
    return frames;
}

const std::string kStatus = "001100918C";
std::string framed(std::string_view body) {
    return std::string(1, kStx) + std::string(body) + kEtx;
}

struct StreamCase {
    const char* name;
    std::string stream;
    std::vector<std::string> frames;
};

class CollectorStreams : public testing::TestWithParam<StreamCase> {};

TEST_P(CollectorStreams, CutsExactlyTheseFrames) {
    EXPECT_EQ(collect(GetParam().stream), GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CollectorStreams,
    testing::Values(
        StreamCase{"OneFrame", framed(kStatus), {kStatus}},
        StreamCase{"GarbageBeforeAndBetween",
                   "xx\x03zz" + framed(kStatus) + "junk" + framed(kStatus),
                   {kStatus, kStatus}},
        StreamCase{"SecondStxRestarts", std::string(1, kStx) + "0011" + framed(kStatus), {kStatus}},
        StreamCase{"ShortFrameDropped", framed("001100") + framed(kStatus), {kStatus}},
        StreamCase{"SevenCharactersAccepted", framed("0000A3B"), {"0000A3B"}},
        StreamCase{"ExactlyTwoHundredSeventyAccepted",
                   framed(std::string(270, 'A')),
                   {std::string(270, 'A')}},
        StreamCase{"TwoHundredSeventyOneDropsUntilNextStx",
                   framed(std::string(271, 'A')) + "B\x03" + framed(kStatus),
                   {kStatus}},
        StreamCase{"EtxWithoutStxIgnored", "\x03\x03" + framed(kStatus), {kStatus}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kqvdr
