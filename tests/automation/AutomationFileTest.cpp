#include "AutomationFile.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

std::string exampleBytes() {
    // MON 08:30 RUN 2, then nine events as Clear leaves them.
    std::string bytes("\x03MON\x05"
                      "08:30\x03RUN\x01"
                      "2");
    for (int i = 0; i < 9; ++i) {
        bytes += std::string("\x00\x05##:##\x07STANDBY\x01"
                             "1",
                             17);
    }
    return bytes;
}

TEST(AutomationFile, HoldsFortyArchivedStringsEventByEvent) {
    test::TemporaryDirectory dir;
    Timetable events = defaultTimetable();
    events[0] = {"MON", "08:30", "RUN", "2"};
    ASSERT_FALSE(writeAutomationFile(dir.path(), events));
    EXPECT_EQ(test::readBytes(dir.file(kAutomationFile)), exampleBytes());

    const TimetableRead read = readAutomationFile(dir.path());
    EXPECT_EQ(read.status, ArchiveReadStatus::Ok);
    EXPECT_EQ(read.events, events);
}

TEST(AutomationFile, MissingShortOrDamagedFilesGiveTheDefaults) {
    const struct {
        const char* name;
        std::optional<std::string> bytes;
        ArchiveReadStatus status;
    } cases[] = {
        {"missing", std::nullopt, ArchiveReadStatus::CannotOpen},
        {"empty", std::string(), ArchiveReadStatus::Damaged},
        {"one string short", exampleBytes().substr(0, exampleBytes().size() - 2),
         ArchiveReadStatus::Damaged},
        {"length past the end", exampleBytes().substr(0, 8) + "\x40", ArchiveReadStatus::Damaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TemporaryDirectory dir;
        if (c.bytes) {
            test::writeBytes(dir.file(kAutomationFile), *c.bytes);
        }
        const TimetableRead read = readAutomationFile(dir.path());
        EXPECT_EQ(read.status, c.status);
        EXPECT_EQ(read.events, defaultTimetable());
    }
}

TEST(AutomationFile, AFailedWriteIsReportedAndLeavesTheOldFile) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file(kAutomationFile), exampleBytes());
    EXPECT_TRUE(writeAutomationFile(dir.path() / "missing", defaultTimetable()));
    EXPECT_EQ(test::readBytes(dir.file(kAutomationFile)), exampleBytes());
}

} // namespace
} // namespace kqvdr
