#include "ArchiveString.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out.push_back(static_cast<char>(v));
    }
    return out;
}

struct LengthFormCase {
    const char* name;
    std::size_t length;
    std::string expectedPrefix;
};

class ArchiveLengthForms : public testing::TestWithParam<LengthFormCase> {};

TEST_P(ArchiveLengthForms, WritesThePrefixAndReadsTheStringBack) {
    const auto& c = GetParam();
    const std::string text(c.length, 'x');
    ArchiveWriter writer;
    writer.writeString(text);

    ASSERT_EQ(writer.bytes().size(), c.expectedPrefix.size() + c.length);
    EXPECT_EQ(writer.bytes().substr(0, c.expectedPrefix.size()), c.expectedPrefix);
    ArchiveReader reader(writer.bytes());
    EXPECT_EQ(reader.readString(), text);
    EXPECT_EQ(reader.remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    AllThreeForms, ArchiveLengthForms,
    testing::Values(LengthFormCase{"Empty", 0, bytes({0x00})},
                    LengthFormCase{"LongestOneByte", 254, bytes({0xFE})},
                    LengthFormCase{"ShortestTwoByte", 255, bytes({0xFF, 0xFF, 0x00})},
                    LengthFormCase{"LongestTwoByte", 0xFFFD, bytes({0xFF, 0xFD, 0xFF})},
                    LengthFormCase{"ShortestFourByte", 0xFFFE,
                                   bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                    LengthFormCase{"FourByteBeyond16Bits", 70000,
                                   bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArchiveString, PortFileIsTheLengthByteAndTheText) {
    ArchiveWriter writer;
    writer.writeString("COM 3");
    EXPECT_EQ(writer.bytes(), bytes({0x05}) + "COM 3");
}

TEST(ArchiveString, NumbersAreDecimalTextWithMinusSign) {
    ArchiveWriter writer;
    writer.writeNumber(1);
    writer.writeNumber(-40);
    EXPECT_EQ(writer.bytes(), bytes({0x01}) + "1" + bytes({0x03}) + "-40");
}

TEST(ArchiveString, TextIsWindows1252OnDiskAndUtf8InMemory) {
    ArchiveWriter writer;
    writer.writeString("40 \xC2\xB0"
                       "C \xC2\xB5");
    EXPECT_EQ(writer.bytes(), bytes({0x07}) + "40 " + bytes({0xB0}) + "C " + bytes({0xB5}));
    ArchiveReader reader(writer.bytes());
    EXPECT_EQ(reader.readString(), "40 \xC2\xB0"
                                   "C \xC2\xB5");
}

struct TruncatedCase {
    const char* name;
    std::string data;
};

class ArchiveTooShort : public testing::TestWithParam<TruncatedCase> {};

TEST_P(ArchiveTooShort, IsReportedAsDamagedWithoutConsumingAnything) {
    ArchiveReader reader(GetParam().data);
    EXPECT_EQ(reader.readString(), std::nullopt);
    EXPECT_EQ(reader.remaining(), GetParam().data.size());
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, ArchiveTooShort,
    testing::Values(TruncatedCase{"NoLengthByte", ""},
                    TruncatedCase{"OneByteLengthPastEnd", bytes({0x05}) + "COM"},
                    TruncatedCase{"TwoByteLengthMissing", bytes({0xFF})},
                    TruncatedCase{"TwoByteLengthHalf", bytes({0xFF, 0x10})},
                    TruncatedCase{"TwoByteLengthPastEnd", bytes({0xFF, 0x00, 0x01}) + "abc"},
                    TruncatedCase{"FourByteLengthMissing", bytes({0xFF, 0xFF, 0xFF})},
                    TruncatedCase{"FourByteLengthPartial", bytes({0xFF, 0xFF, 0xFF, 0x01, 0x00})},
                    TruncatedCase{"FourByteLengthHuge",
                                  bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) + "abc"},
                    TruncatedCase{"WideCharacterMarker", bytes({0xFF, 0xFE, 0xFF, 0x01}) + "a"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ArchiveString, ReadStringsGivesNothingWhenFewerStringsThanAsked) {
    ArchiveWriter writer;
    writer.writeString("one");
    writer.writeString("two");
    ArchiveReader reader(writer.bytes());
    EXPECT_EQ(reader.readStrings(3), std::nullopt);
}

TEST(ArchiveString, ReadStringsLeavesTrailingBytes) {
    ArchiveWriter writer;
    writer.writeString("one");
    writer.writeString("two");
    ArchiveReader reader(writer.bytes());
    const auto strings = reader.readStrings(1);
    ASSERT_TRUE(strings);
    EXPECT_EQ(*strings, std::vector<std::string>{"one"});
    EXPECT_EQ(reader.remaining(), 4u);
}

TEST(ArchiveString, AcceptsALongFormPrefixForAShortString) {
    const std::string data = bytes({0xFF, 0x03, 0x00}) + "abc";
    ArchiveReader reader(data);
    EXPECT_EQ(reader.readString(), "abc");
}

} // namespace
} // namespace kqvdr
