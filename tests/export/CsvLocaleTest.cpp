#include "CommaDecimalLocale.h"
#include "CsvWriter.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(CsvWriter, NumbersKeepTheirPointUnderACommaDecimalLocale) {
    std::string number;
    {
        test::CommaDecimalLocale german;
        ASSERT_TRUE(german.active()) << "localedef and the de_DE source are needed";
        char screen[16];
        std::snprintf(screen, sizeof screen, "%.1f", 25.5);
        EXPECT_STREQ(screen, "25,5") << "the locale is really in force";
        number = CsvWriter::number(1234.5, 2);
    }
    EXPECT_EQ(number, "1234.50");
}

} // namespace
} // namespace kqvdr
