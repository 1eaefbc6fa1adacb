#include "Frame.h"

#include "CommandTable.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace kqvdr {
namespace {

std::string framed(std::string_view body) {
    return std::string(1, kStx) + std::string(body) + kEtx;
}

std::string body(std::string_view withoutChecksum) {
    unsigned sum = 0;
    for (const char c : withoutChecksum) {
        sum += static_cast<unsigned char>(c);
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out(withoutChecksum);
    out += kHex[(sum >> 4) & 0xF];
    out += kHex[sum & 0xF];
    return out;
}

struct BuildCase {
    const char* name;
    int address;
    int code;
    std::vector<std::int16_t> data;
    std::string expected;
};

class BuildFrameExamples : public testing::TestWithParam<BuildCase> {};

TEST_P(BuildFrameExamples, ProducesTheExactBytes) {
    const auto& c = GetParam();
    std::array<char, kCommandBufferSize> out{};
    const std::size_t length =
        BuildFrame(c.address, c.code, c.data, commandEntry(c.code)->sendDigits, out);
    EXPECT_EQ(std::string(out.data(), length), c.expected);
    EXPECT_EQ(out[length], '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Examples, BuildFrameExamples,
    testing::Values(
        BuildCase{"SetModeRun", 0, 0, {1}, framed("00000121")},
        BuildCase{"StatusRequest", 0, 17, {}, framed("0011C2")},
        BuildCase{"MethodDownloadToDevice5",
                  5,
                  31,
                  {3, 40, 35, 30, 15, 0, 1},
                  framed("051F000300280023001E000F000000015B")},
        BuildCase{"OneByteDataSendsOnlyTheLowByte", 0x7F, 34, {0x1234}, framed(body("7F2234"))},
        BuildCase{"NegativeWordIsTwosComplement",
                  0,
                  31,
                  {-1, 0, 0, 0, 0, 0, 0},
                  framed(body("001FFFFF000000000000000000000000"))},
        BuildCase{"AddressUsesTheLowByte", 0x105, 17, {}, framed(body("0511"))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BuildFrame, MethodDownloadIs36Bytes) {
    std::array<char, kCommandBufferSize> out{};
    const std::vector<std::int16_t> data{3, 40, 35, 30, 15, 0, 1};
    EXPECT_EQ(BuildFrame(5, 31, data, 28, out), 36u);
}

TEST(BuildFrame, RefusesABufferTooSmallForTheFrameAndItsTerminator) {
    std::array<char, 8> out{};
    EXPECT_EQ(BuildFrame(0, 17, {}, 0, out), 0u);
    std::array<char, 9> fits{};
    EXPECT_EQ(BuildFrame(0, 17, {}, 0, fits), 8u);
}

TEST(BuildFrame, MissingDataWordsAreSentAsZero) {
    std::array<char, kCommandBufferSize> full{};
    std::array<char, kCommandBufferSize> missing{};
    const std::vector<std::int16_t> zeros{0, 0};
    const std::size_t length = BuildFrame(0, 1, zeros, 4, full);
    EXPECT_EQ(BuildFrame(0, 1, {}, 4, missing), length);
    EXPECT_EQ(std::string(full.data(), length), std::string(missing.data(), length));
}

struct DecodeCase {
    const char* name;
    std::string body;
    int result;
    int code;
    std::vector<std::int16_t> words;
};

class DecodeFrameCases : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeFrameCases, GivesTheResultAndWords) {
    const auto& c = GetParam();
    ReplyFrame reply;
    reply.commandCode = -7;
    EXPECT_EQ(DecodeFrame(c.body, reply), c.result);
    if (c.result == kReceiveFailed) {
        EXPECT_EQ(reply.commandCode, -7) << "a failed decode must not touch the reply";
        return;
    }
    EXPECT_EQ(reply.commandCode, c.code);
    EXPECT_EQ(std::vector<std::int16_t>(reply.words.begin(), reply.words.begin() + reply.wordCount),
              c.words);
}

std::string methodTableBody() {
    std::string data;
    for (int i = 0; i < 66; ++i) {
        char word[5];
        std::snprintf(word, sizeof word, "%04X", i * 3);
        data += word;
    }
    return body("001E" + data);
}

std::vector<std::int16_t> methodTableWords() {
    std::vector<std::int16_t> words;
    for (int i = 0; i < 66; ++i) {
        words.push_back(static_cast<std::int16_t>(i * 3));
    }
    return words;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeFrameCases,
    testing::Values(
        DecodeCase{"StatusReply", "001100918C", kReceivedData, 17, {0x0091}},
        DecodeCase{"NegativeWord", body("0019FF38"), kReceivedData, 25, {-200}},
        DecodeCase{"VapourTwoDigitsIsTheLowByte", body("002107"), kReceivedData, 33, {7}},
        DecodeCase{"MethodTable66Words", methodTableBody(), kReceivedData, 30, methodTableWords()},
        DecodeCase{
            "OneCharacterIsAnAcknowledgement", body("0000\x06"), kReceivedAcknowledgement, 0, {6}},
        DecodeCase{
            "AcknowledgementOfUnknownCode", body("0063K"), kReceivedAcknowledgement, 0x63, {'K'}},
        DecodeCase{"AcknowledgementWithBadChecksum",
                   "0000\x06"
                   "00",
                   kReceiveFailed,
                   0,
                   {}},
        DecodeCase{"LowerCaseHexRejected", body("0011009a"), kReceiveFailed, 0, {}},
        DecodeCase{"LowerCaseChecksumRejected", "001100918c", kReceiveFailed, 0, {}},
        DecodeCase{"SixDigitsForStatusRejected", body("0011000091"), kReceiveFailed, 0, {}},
        DecodeCase{"CodeAbove35Rejected", body("00240091"), kReceiveFailed, 0, {}},
        DecodeCase{"BadChecksumRejected", "001100918D", kReceiveFailed, 0, {}},
        DecodeCase{"NonHexAddressRejected", body("0G110091"), kReceiveFailed, 0, {}},
        DecodeCase{"TooShort", "00118C", kReceiveFailed, 0, {}},
        DecodeCase{"TooLong", std::string(271, '0'), kReceiveFailed, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeFrame, RemainderDigitsFormOneMoreWord) {
    // Codes with odd reply lengths do not exist in the table, so check the rule through the
    // two-digit replies, the only remainder the table allows.
    ReplyFrame reply;
    ASSERT_EQ(DecodeFrame(body("0023FF"), reply), kReceivedData);
    EXPECT_EQ(reply.wordCount, 1);
    EXPECT_EQ(reply.words[0], 0xFF);
}

} // namespace
} // namespace kqvdr
