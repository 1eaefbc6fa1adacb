#include "Base64.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

TEST(Base64, EncodesAndDecodesEveryPaddingLengthAndAllByteValues) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {std::string("\0\xff\x10", 3), "AP8Q"},
        {"\xfb\xff", "+/8="},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(base64Encode(c.bytes), c.text) << c.text;
        EXPECT_EQ(base64Decode(c.text), c.bytes) << c.text;
    }
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    EXPECT_EQ(base64Decode(base64Encode(all)), all);
}

TEST(Base64, RefusesTextThatIsNotPaddedBase64) {
    for (const char* text : {"Zg=", "Zg", "Z===", "Zm9v!A==", "Zg==Zg==", "=Zg="}) {
        EXPECT_FALSE(base64Decode(text).has_value()) << text;
    }
}

} // namespace
} // namespace kqvdr::remote
