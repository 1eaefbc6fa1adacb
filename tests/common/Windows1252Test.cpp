#include "Windows1252.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

struct CodePageCase {
    const char* name;
    std::string windows1252;
    std::string utf8;
};

class CodePage : public testing::TestWithParam<CodePageCase> {};

TEST_P(CodePage, ConvertsBothWays) {
    EXPECT_EQ(utf8FromWindows1252(GetParam().windows1252), GetParam().utf8);
    EXPECT_EQ(windows1252FromUtf8(GetParam().utf8), GetParam().windows1252);
}

INSTANTIATE_TEST_SUITE_P(Table, CodePage,
                         testing::Values(CodePageCase{"Ascii", "COM 1", "COM 1"},
                                         CodePageCase{"Degree", "\xB0", "\xC2\xB0"},
                                         CodePageCase{"Micro", "\xB5", "\xC2\xB5"},
                                         CodePageCase{"PlusMinus", "\xB1", "\xC2\xB1"},
                                         CodePageCase{"Euro", "\x80", "\xE2\x82\xAC"},
                                         CodePageCase{"UndefinedPositionKeepsItsValue", "\x81",
                                                      "\xC2\x81"},
                                         CodePageCase{"LastByte", "\xFF", "\xC3\xBF"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CodePage, UnrepresentableAndMalformedUtf8BecomeQuestionMarks) {
    EXPECT_EQ(windows1252FromUtf8("\xE4\xB8\xAD"), "?"); // a CJK character
    EXPECT_EQ(windows1252FromUtf8("a\xC3"), "a?");       // cut-off sequence
    EXPECT_EQ(windows1252FromUtf8("\xFF"
                                  "b"),
              "?b");                                         // invalid lead byte
    EXPECT_EQ(windows1252FromUtf8("\xF0\x9F\x98\x80"), "?"); // outside the basic plane
}

} // namespace
} // namespace kqvdr
