#include "ArchiveFile.h"

#include "ArchiveString.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using test::readBytes;
using test::TemporaryDirectory;
using test::writeBytes;

TEST(ArchiveFile, WrittenFileReadsBackTheSameStrings) {
    TemporaryDirectory dir;
    const std::vector<std::string> strings = {"1", "Gradient", "Line one\r\nLine two", "",
                                              std::string(300, 'd')};
    ASSERT_FALSE(writeArchiveFile(dir.file("Methods.mtd"), strings));

    const auto result = readArchiveFile(dir.file("Methods.mtd"), strings.size());
    EXPECT_EQ(result.status, ArchiveReadStatus::Ok);
    EXPECT_EQ(result.strings, strings);
}

TEST(ArchiveFile, MissingFileCannotBeOpened) {
    TemporaryDirectory dir;
    EXPECT_EQ(readArchiveFile(dir.file("Names.mtd"), 22).status, ArchiveReadStatus::CannotOpen);
}

// A file that is there but cannot be read is no missing file: callers must not put defaults in
// its place.
TEST(ArchiveFile, AFileThatIsThereButCannotBeReadIsUnreadableWithTheSystemsReason) {
    TemporaryDirectory dir;
    std::filesystem::create_directory(dir.file("Names.mtd"));
    const auto result = readArchiveFile(dir.file("Names.mtd"), 22);
    EXPECT_EQ(result.status, ArchiveReadStatus::Unreadable);
    EXPECT_EQ(result.error, std::errc::is_a_directory);
    EXPECT_EQ(unreadableFileText("Names.mtd", result.error),
              "\nThe file \"Names.mtd\" cannot be read (Is a directory).");
}

TEST(ArchiveFile, ShortFileIsDamagedAndReturnsNoStrings) {
    TemporaryDirectory dir;
    ASSERT_FALSE(writeArchiveFile(dir.file("Names.mtd"), {"Custom Method", "Custom Settings"}));
    const auto result = readArchiveFile(dir.file("Names.mtd"), 22);
    EXPECT_EQ(result.status, ArchiveReadStatus::Damaged);
    EXPECT_TRUE(result.strings.empty());
}

TEST(ArchiveFile, ReadingADamagedFileLeavesItAsItWas) {
    TemporaryDirectory dir;
    const std::string damaged = "\x05"
                                "COM";
    writeBytes(dir.file("KQ-VDR 1000.ini"), damaged);
    EXPECT_EQ(readArchiveFile(dir.file("KQ-VDR 1000.ini"), 1).status, ArchiveReadStatus::Damaged);
    EXPECT_EQ(readBytes(dir.file("KQ-VDR 1000.ini")), damaged);
}

TEST(ArchiveFile, RewriteReplacesTheOldContentAndLeavesNoTemporaryFile) {
    TemporaryDirectory dir;
    ASSERT_FALSE(writeArchiveFile(dir.file("Names.mtd"), {std::string(1000, 'a')}));
    ASSERT_FALSE(writeArchiveFile(dir.file("Names.mtd"), {"b"}));

    EXPECT_EQ(readBytes(dir.file("Names.mtd")), "\x01"
                                                "b");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(ArchiveFile, WriteIntoMissingDirectoryFailsAndCreatesNothing) {
    TemporaryDirectory dir;
    const auto target = dir.path() / "absent" / "Methods.mtd";
    EXPECT_TRUE(writeArchiveFile(target, {"1"}));
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(ArchiveFile, FailedReplaceLeavesTheTargetAndNoTemporaryFile) {
    TemporaryDirectory dir;
    // A file cannot be renamed over a directory, so the replace fails at its last step.
    const auto target = dir.file("Methods.mtd");
    std::filesystem::create_directory(target);
    writeBytes(target / "inside", "kept");

    EXPECT_TRUE(writeArchiveFile(target, {"new"}));
    EXPECT_EQ(readBytes(target / "inside"), "kept");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

} // namespace
} // namespace kqvdr
