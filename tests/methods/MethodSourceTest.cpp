#include "MethodSource.h"

#include <gtest/gtest.h>
#include <string>

namespace kqvdr {
namespace {

std::string methodText(int n, int gas = 10, const std::string& extra = "") {
    return "method " + std::to_string(n) + "\nname Method " + std::to_string(n) +
           "\ndescription First\nevaporator 50\nnebuliser 40\ntransfer-line 40\ngas-flow " +
           std::to_string(gas) + "\nautozero 0\ntime-constant 1\n" + extra;
}

std::string sourceText(const std::string& units = "tenths", int gas = 10) {
    std::string text = "# comment\n\nunits " + units + "\n";
    for (int n = 1; n <= 10; ++n) {
        text += methodText(n, gas);
    }
    return text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

TEST(MethodSource, ReadsTenMethodsWithMultiLineDescriptions) {
    const MethodSource source = parseMethodSource(replaced(
        sourceText(), "description First\n", "description First\ndescription  Second line  \r\n"));
    ASSERT_TRUE(source.errors.empty()) << source.errors.front();
    EXPECT_FALSE(source.hundredths);
    EXPECT_EQ(source.methods[1].description, "First\r\nSecond line");
    EXPECT_EQ(source.methods[10].name, "Method 10");
    EXPECT_EQ(source.methods[10].number, 10);
    EXPECT_EQ(source.methods[10].evaporatorTemp, 50);
}

TEST(MethodSource, RefusesSourcesThatWouldMakeAWrongFile) {
    const std::pair<const char*, std::string> cases[] = {
        {"EvaporatorBelowRange", replaced(sourceText(), "evaporator 50", "evaporator 29")},
        {"EvaporatorAboveRange", replaced(sourceText(), "evaporator 50", "evaporator 301")},
        {"NebuliserAboveRange", replaced(sourceText(), "nebuliser 40", "nebuliser 221")},
        {"TransferLineBelowRange", replaced(sourceText(), "transfer-line 40", "transfer-line 0")},
        {"AutozeroAboveRange", replaced(sourceText(), "autozero 0", "autozero 11")},
        {"TimeConstantAboveRange", replaced(sourceText(), "time-constant 1", "time-constant 4")},
        {"TenthsAboveRange", sourceText("tenths", 21)},
        {"HundredthsBelowRange", sourceText("hundredths", 4)},
        {"HundredthsAboveRange", sourceText("hundredths", 101)},
        {"NotANumber", replaced(sourceText(), "evaporator 50", "evaporator 50C")},
        {"MissingKey", replaced(sourceText(), "autozero 0\n", "")},
        {"DuplicateKey", replaced(sourceText(), "autozero 0\n", "autozero 0\nautozero 1\n")},
        {"UnknownKey", replaced(sourceText(), "autozero 0\n", "autozero 0\ncolour red\n")},
        {"MethodOutOfOrder", replaced(sourceText(), "method 2\n", "method 3\n")},
        {"NineMethods", replaced(sourceText(), methodText(10), "")},
        {"EleventhMethod", sourceText() + methodText(11)},
        {"NoUnits", replaced(sourceText(), "units tenths\n", "")},
        {"UnknownUnits", replaced(sourceText(), "units tenths", "units litres")},
        {"EmptyName", replaced(sourceText(), "name Method 4\n", "name\n")},
    };
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(parseMethodSource(text).errors.empty());
    }
}

TEST(MethodSource, ErrorNamesTheLine) {
    const MethodSource source =
        parseMethodSource(replaced(sourceText(), "evaporator 50", "evaporator 5x"));
    ASSERT_FALSE(source.errors.empty());
    EXPECT_EQ(source.errors.front().rfind("line 7:", 0), 0u) << source.errors.front();
}

} // namespace
} // namespace kqvdr
