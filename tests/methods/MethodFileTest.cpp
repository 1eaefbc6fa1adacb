#include "MethodFile.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

std::vector<std::string> fileStrings() {
    std::vector<std::string> strings;
    for (int n = 1; n <= 10; ++n) {
        // The number strings are deliberately wrong: records go by position.
        const std::vector<std::string> method = {
            "7", "Name " + std::to_string(n), "", " 250", "-40", "12abc", "x", "+3", "  9"};
        strings.insert(strings.end(), method.begin(), method.end());
    }
    return strings;
}

TEST(MethodFile, RecordsAreTakenByPositionWithNumbersReadAsLeadingDigits) {
    test::TemporaryDirectory dir;
    ASSERT_FALSE(writeArchiveFile(dir.file("Default.mtd"), fileStrings()));
    const MethodFile file = readMethodFile(dir.file("Default.mtd"));
    ASSERT_EQ(file.status, ArchiveReadStatus::Ok);
    for (int n = 1; n <= 10; ++n) {
        const MethodRecord r = file.record(n);
        EXPECT_EQ(r.number, n);
        EXPECT_EQ(r.name, "Name " + std::to_string(n));
        EXPECT_EQ(r.evaporatorTemp, 250);
        EXPECT_EQ(r.nebuliserTemp, -40);
        EXPECT_EQ(r.transferLineTemp, 12);
        EXPECT_EQ(r.gasFlow, 0);
        EXPECT_EQ(r.autozeroOffset, 3);
        EXPECT_EQ(r.timeConstant, 9);
    }
    EXPECT_EQ(file.text(2, MethodFileField::Evaporator), " 250");
}

TEST(MethodFile, WrittenFileHoldsMethods1To10AndALongDescriptionSurvives) {
    test::TemporaryDirectory dir;
    MethodTable table{};
    for (int n = 0; n <= 10; ++n) {
        table[n].number = n;
        table[n].name = "M" + std::to_string(n);
        table[n].gasFlow = -n;
    }
    table[10].description = std::string(300, 'd');
    ASSERT_FALSE(writeMethodFile(dir.file("Methods.mtd"), table));

    const std::string bytes = test::readBytes(dir.file("Methods.mtd"));
    EXPECT_EQ(bytes.find("M0"), std::string::npos) << "method 0 is never in a method file";
    EXPECT_NE(bytes.find(std::string("\xFF\x2C\x01", 3) + "ddd"), std::string::npos);
    const MethodFile file = readMethodFile(dir.file("Methods.mtd"));
    ASSERT_EQ(file.status, ArchiveReadStatus::Ok);
    EXPECT_EQ(file.strings.size(), 90u);
    EXPECT_EQ(file.record(10).description, table[10].description);
    EXPECT_EQ(file.text(4, MethodFileField::GasFlow), "-4");
}

} // namespace
} // namespace kqvdr
