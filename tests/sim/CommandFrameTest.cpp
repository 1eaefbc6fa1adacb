#include "CommandFrame.h"

#include "Frame.h"

#include <gtest/gtest.h>

namespace kqvdr::sim {
namespace {

struct CommandCase {
    const char* name;
    std::string body;
    bool valid;
    int code;
    std::vector<std::int16_t> words;
};

class DecodeCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(DecodeCommand, ReadsWhatTheProgramSends) {
    const auto& c = GetParam();
    CommandFrame frame;
    ASSERT_EQ(decodeCommandFrame(c.body, frame), c.valid);
    if (c.valid) {
        EXPECT_EQ(frame.commandCode, c.code);
        EXPECT_EQ(frame.words, c.words);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DecodeCommand,
                         testing::Values(CommandCase{"StatusRequest", "0011C2", true, 17, {}},
                                         CommandCase{"SetModeRun", "00000121", true, 0, {1}},
                                         CommandCase{"MethodDownload",
                                                     "051F000300280023001E000F000000015B",
                                                     true,
                                                     31,
                                                     {3, 40, 35, 30, 15, 0, 1}},
                                         CommandCase{
                                             "DataWhereNoneBelongs", "001100005B", false, 0, {}},
                                         CommandCase{"BadChecksum", "0011C3", false, 0, {}},
                                         CommandCase{"LowerCaseDigitRejected",
                                                     "0000a1"
                                                     "F2",
                                                     false,
                                                     0,
                                                     {}},
                                         CommandCase{"UnknownCode", "0024C6", false, 0, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReplyFrames, DataRepliesDecodeWithTheProgramsReceiver) {
    const std::string frame = dataReplyFrame(5, 17, {0x0091});
    ReplyFrame reply;
    ASSERT_EQ(DecodeFrame(std::string_view(frame).substr(1, frame.size() - 2), reply),
              kReceivedData);
    EXPECT_EQ(reply.words[0], 0x91);
}

TEST(ReplyFrames, AcknowledgementCarriesOneCharacter) {
    const std::string frame = acknowledgementFrame(0, 0, 0x06);
    EXPECT_EQ(frame, std::string("\x02"
                                 "0000\x06"
                                 "C6\x03"));
}

} // namespace
} // namespace kqvdr::sim
