#include "SilaErrorBytes.h"

#include "Base64.h"
#include "ServerName.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

std::string bytes(std::initializer_list<unsigned char> values) {
    return std::string(values.begin(), values.end());
}

std::string hex(const std::string& data) {
    static const char* const digits = "0123456789abcdef";
    std::string text;
    for (const char c : data) {
        const auto b = static_cast<unsigned char>(c);
        text += digits[b >> 4];
        text += digits[b & 0xF];
        text += ' ';
    }
    return text;
}

// What the server sends must be what the generated code of a client reads; these bytes are the
// encoding of SiLAError, checked on Linux against that code.
TEST(SilaErrorBytes, EachKindOfFailureIsItsOneofMemberWithItsFieldsByNumber) {
    const std::string a127(127, 'a');
    const std::string b200(200, 'b');
    const std::string c20000(20000, 'c');
    const struct {
        const char* what;
        SilaFailure failure;
        std::string expected;
    } cases[] = {
        {"validation", validationError("p", "m"),
         bytes({0x0a, 0x06, 0x0a, 0x01, 'p', 0x12, 0x01, 'm'})},
        {"defined", definedError("e", "x"), bytes({0x12, 0x06, 0x0a, 0x01, 'e', 0x12, 0x01, 'x'})},
        {"undefined", undefinedError("m"), bytes({0x1a, 0x03, 0x0a, 0x01, 'm'})},
        {"framework", frameworkError(FrameworkErrorType::NoMetadataAllowed, "m"),
         bytes({0x22, 0x05, 0x08, 0x04, 0x12, 0x01, 'm'})},
        // proto3 leaves empty text and the first enum value out, but never the chosen member.
        {"empty validation", validationError("", ""), bytes({0x0a, 0x00})},
        {"empty defined", definedError("", ""), bytes({0x12, 0x00})},
        {"empty undefined", undefinedError(""), bytes({0x1a, 0x00})},
        {"first framework type",
         frameworkError(FrameworkErrorType::CommandExecutionNotAccepted, ""), bytes({0x22, 0x00})},
        {"only the message", validationError("", "m"), bytes({0x0a, 0x03, 0x12, 0x01, 'm'})},
        {"non-ASCII", undefinedError("\xc3\xa9\xe6\xb8\xac"),
         bytes({0x1a, 0x07, 0x0a, 0x05, 0xc3, 0xa9, 0xe6, 0xb8, 0xac})},
        // Lengths of 128 and more take a second (and third) byte, low seven bits first.
        {"127 bytes", undefinedError(a127), bytes({0x1a, 0x81, 0x01, 0x0a, 0x7f}) + a127},
        {"200 bytes", undefinedError(b200), bytes({0x1a, 0xcb, 0x01, 0x0a, 0xc8, 0x01}) + b200},
        {"20000 bytes", undefinedError(c20000),
         bytes({0x1a, 0xa4, 0x9c, 0x01, 0x0a, 0xa0, 0x9c, 0x01}) + c20000},
        {"not UTF-8", undefinedError("a\xff"),
         bytes({0x1a, 0x06, 0x0a, 0x04, 'a', 0xef, 0xbf, 0xbd})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hex(silaErrorBytes(c.failure)), hex(c.expected)) << c.what;
    }
}

TEST(RepairedUtf8, KeepsUtf8AndReplacesEachStrayByte) {
    const std::string replacement = "\xef\xbf\xbd";
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"a\xc3\xa9\xe6\xb8\xac\xf0\x9f\xa7\xaa", "a\xc3\xa9\xe6\xb8\xac\xf0\x9f\xa7\xaa"},
        {"Zugriff verweigert: \xe4", "Zugriff verweigert: " + replacement}, // Windows-1252
        {"\x80x", replacement + "x"},                                       // a lone continuation
        {"x\xe6\xb8", "x" + replacement + replacement},                     // cut short at the end
        {"\xc0\xaf", replacement + replacement},                            // overlong '/'
        {"\xed\xa0\x80", replacement + replacement + replacement},          // a surrogate
        {"\xf5\x80\x80\x80", replacement + replacement + replacement + replacement},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        const std::string repaired = repairedUtf8(c.text);
        EXPECT_EQ(hex(repaired), hex(c.expected)) << hex(c.text);
        EXPECT_TRUE(utf8CharacterCount(repaired)) << hex(c.text);
    }
}

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
