#include "SendCommand.h"

#include "CommandTable.h"
#include "FakeSerialDriver.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(SendCommand, WritesOneBlockWithTheTableDataLength) {
    test::FakeSerialDriver driver;
    const std::int16_t run[] = {1};
    SendCommand(driver, 0, code(Command::SetMode), run);
    SendCommand(driver, 0, code(Command::RequestStatus));
    const std::int16_t method[] = {3, 40, 35, 30, 15, 0, 1};
    SendCommand(driver, 5, code(Command::DownloadMethod), method);

    ASSERT_EQ(driver.written.size(), 3u);
    EXPECT_EQ(driver.written[0], "\x02"
                                 "00000121"
                                 "\x03");
    EXPECT_EQ(driver.written[1], "\x02"
                                 "0011C2"
                                 "\x03");
    EXPECT_EQ(driver.written[2], "\x02"
                                 "051F000300280023001E000F000000015B"
                                 "\x03");
}

TEST(SendCommand, UnknownCodeSendsNothing) {
    test::FakeSerialDriver driver;
    SendCommand(driver, 0, 36);
    SendCommand(driver, 0, -1);
    EXPECT_TRUE(driver.written.empty());
}

TEST(CommandTable, EveryCodeFrom0To35HasAnEntryAndNoOtherDoes) {
    for (int c = 0; c <= 35; ++c) {
        ASSERT_TRUE(commandEntry(c)) << c;
        EXPECT_EQ(commandEntry(c)->code, c);
    }
    EXPECT_FALSE(commandEntry(36));
    EXPECT_FALSE(commandEntry(-1));
}

} // namespace
} // namespace kqvdr
