#include "FileReplace.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

std::size_t entriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(FileReplace, NewAndExistingFilesGetTheWholeContentAndNoTemporaryStaysBehind) {
    test::TemporaryDirectory dir;
    const fs::path target = dir.file("Names.mtd");
    const std::string binary("\x05"
                             "COM 3\r\n\0\xff\xb0",
                             11);
    for (const std::string& content :
         {std::string("first, longer content"), binary, std::string()}) {
        ASSERT_FALSE(replaceFileContent(target, content));
        EXPECT_EQ(test::readBytes(target), content);
        EXPECT_EQ(entriesIn(dir.path()), 1u);
    }
}

TEST(FileReplace, AFailedWriteReportsAndKeepsTheOldFile) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file("keep.mtd"), "old");
    EXPECT_TRUE(replaceFileContent(dir.path() / "missing" / "keep.mtd", "new"));
    // A directory where the file should be cannot be replaced by a file.
    fs::create_directory(dir.file("folder"));
    EXPECT_TRUE(replaceFileContent(dir.file("folder"), "new"));
    EXPECT_TRUE(fs::is_directory(dir.file("folder")));
    EXPECT_EQ(test::readBytes(dir.file("keep.mtd")), "old");
    EXPECT_EQ(entriesIn(dir.path()), 2u) << "the temporary file is removed again";
}

TEST(ReadWholeFile, ReadsUpToTheLimitAndRefusesMissingOrLargerFiles) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file("ten"), "0123456789");
    std::string content = "unchanged";
    EXPECT_FALSE(readWholeFile(dir.file("ten"), content, 10));
    EXPECT_EQ(content, "0123456789");

    content = "unchanged";
    EXPECT_EQ(readWholeFile(dir.file("ten"), content, 9), std::errc::file_too_large);
    EXPECT_EQ(readWholeFile(dir.file("none"), content, 10), std::errc::no_such_file_or_directory);
    EXPECT_EQ(content, "unchanged") << "a failed read leaves the caller's text alone";
}

} // namespace
} // namespace kqvdr
