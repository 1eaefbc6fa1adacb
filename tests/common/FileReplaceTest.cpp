#include "FileReplace.h"

#include "SmallFilesystem.h"
#include "StaleTemporaries.h"
#include "TemporaryDirectory.h"

#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Sees the folder while a save writes its temporary: what a power cut at that moment leaves.
struct WatchedSave {
    static inline fs::path dir;
    static inline std::vector<fs::path> seen;
    static FileWriteCalls calls() {
        return {[](int fd, const void* data, std::size_t size) -> long {
                    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
                        seen.push_back(entry.path().filename());
                    }
                    return systemFileWriteCalls().write(fd, data, size);
                },
                systemFileWriteCalls().sync, systemFileWriteCalls().close};
    }
};

TEST(StaleTemporaries, OnlyTheTemporariesOfSavesCutShortAreRemoved) {
    test::TemporaryDirectory dir;
    WatchedSave::dir = dir.path();
    WatchedSave::seen.clear();
    ASSERT_FALSE(replaceFileContent(dir.file("Methods.mtd"), "methods", WatchedSave::calls()));
    ASSERT_EQ(WatchedSave::seen.size(), 1u);
    const fs::path madeBySave = WatchedSave::seen.front();
    EXPECT_TRUE(isReplacementTemporary(madeBySave)) << madeBySave;

    const std::vector<std::string> stale = {madeBySave.string(), "sila-server.txt.tmp606914",
                                            "Names.mtd.tmp0"};
    const std::vector<std::string> kept = {
        "Methods.mtd",    "notes.tmp",      ".tmp123",         "Auto.seq.tmp1234567",
        "Auto.seq.tmpx1", "Auto.seq.TMP12", "report.tmp12.pdf"};
    for (const std::string& name : stale) {
        test::writeBytes(dir.file(name), "half a save");
    }
    for (const std::string& name : kept) {
        test::writeBytes(dir.file(name), "the operator's");
    }
    fs::create_directory(dir.file("folder.tmp12")); // not a file: not ours
    const std::vector<fs::path> removed = removeStaleTemporaries(dir.path());
    EXPECT_EQ(removed.size(), stale.size());
    for (const std::string& name : stale) {
        EXPECT_FALSE(fs::exists(dir.file(name))) << name;
    }
    for (const std::string& name : kept) {
        EXPECT_TRUE(fs::exists(dir.file(name))) << name;
    }
    EXPECT_TRUE(fs::is_directory(dir.file("folder.tmp12")));
    EXPECT_TRUE(removeStaleTemporaries(dir.file("missing")).empty());
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

TEST(ReadWholeFile, AFailureCarriesTheSystemsReasonNotMissing) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file("plain"), "x");
    std::string content;
#ifndef _WIN32
    // A path through a file is no missing file: "Not a directory" says what is wrong.
    EXPECT_EQ(readWholeFile(dir.file("plain") / "inside", content, 10), std::errc::not_a_directory);
#endif
    EXPECT_EQ(readWholeFile(dir.path(), content, 10), std::errc::is_a_directory);
}

#ifndef _WIN32
// A pipe would wait for a writer and a device never ends: neither is read, and at once.
TEST(ReadWholeFile, RefusesPipesDevicesAndLinksToThemWithoutWaiting) {
    test::TemporaryDirectory dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    fs::create_symlink(dir.file("pipe"), dir.file("link-to-pipe"));
    for (const fs::path& path : {dir.file("pipe"), dir.file("link-to-pipe"), fs::path("/dev/zero"),
                                 fs::path("/dev/null")}) {
        std::string content = "unchanged";
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(readWholeFile(path, content, 1 << 20), FileError::NotAPlainFile) << path;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << path;
        EXPECT_EQ(content, "unchanged") << path;
    }
}

// The calls of the system, but fsync fails as a failing disk makes it, and every close is seen.
struct FailingSync {
    static inline std::vector<int> closed;
    static FileWriteCalls calls() {
        return {systemFileWriteCalls().write,
                [](int) {
                    errno = EIO;
                    return -1;
                },
                [](int fd) {
                    closed.push_back(fd);
                    return ::close(fd);
                }};
    }
};

TEST(FileReplace, AFailedSyncClosesTheFileAndKeepsTheOldOne) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file("keep.mtd"), "old");
    FailingSync::closed.clear();
    EXPECT_EQ(replaceFileContent(dir.file("keep.mtd"), "new", FailingSync::calls()),
              std::errc::io_error);
    ASSERT_EQ(FailingSync::closed.size(), 1u) << "the temporary file's descriptor is closed";
    EXPECT_EQ(::fcntl(FailingSync::closed[0], F_GETFD), -1) << "and nothing holds it open";
    EXPECT_EQ(test::readBytes(dir.file("keep.mtd")), "old");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(FileReplace, AFullDiskSaysSoAndKeepsTheOldFile) {
    test::SmallFilesystem disk(64 * 1024);
    KQVDR_NEED_SMALL_FILESYSTEM(disk);
    test::writeBytes(disk.file("report.pdf"), "the good old report");
    disk.fillLeaving(8 * 1024);
    const std::string large(40 * 1024, 'p');
    EXPECT_EQ(replaceFileContent(disk.file("report.pdf"), large), std::errc::no_space_on_device);
    EXPECT_EQ(test::readBytes(disk.file("report.pdf")), "the good old report");
    EXPECT_EQ(entriesIn(disk.path()), 2u) << "the report and the filler, no temporary file";
}

TEST(FileReplace, ALinkKeepsPointingAtItsTargetWhichGetsTheContent) {
    test::TemporaryDirectory dir;
    fs::create_directory(dir.file("real"));
    test::writeBytes(dir.file("real") / "usage.txt", "old");
    fs::create_symlink(dir.file("real") / "usage.txt", dir.file("usage.txt"));
    ASSERT_FALSE(replaceFileContent(dir.file("usage.txt"), "new"));
    EXPECT_TRUE(fs::is_symlink(dir.file("usage.txt")));
    EXPECT_EQ(test::readBytes(dir.file("real") / "usage.txt"), "new");
}

TEST(FileReplace, AnOwnerOnlyFileIsNeverReadableByOthersWhateverTheUmask) {
    test::TemporaryDirectory dir;
    const ::mode_t previous = ::umask(0);
    const auto shared = replaceFileContent(dir.file("cert.pem"), "public");
    const auto owner = replaceFileContent(dir.file("server.key"), "secret", systemFileWriteCalls(),
                                          FileAccess::OwnerOnly);
    ::umask(previous);
    ASSERT_FALSE(shared);
    ASSERT_FALSE(owner);
    struct ::stat info {};
    ASSERT_EQ(::stat(dir.file("cert.pem").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    ASSERT_EQ(::stat(dir.file("server.key").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(test::readBytes(dir.file("server.key")), "secret");
}
#endif

TEST(ReadFileEnd, GivesTheLastBytesAndWhereTheyStart) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file("trail"), "0123456789");
    const struct {
        std::size_t max;
        const char* content;
        std::uint64_t start;
    } cases[] = {{4, "6789", 6}, {10, "0123456789", 0}, {64, "0123456789", 0}};
    for (const auto& c : cases) {
        std::string content;
        std::uint64_t start = 99;
        ASSERT_FALSE(readFileEnd(dir.file("trail"), c.max, content, start)) << c.max;
        EXPECT_EQ(content, c.content) << c.max;
        EXPECT_EQ(start, c.start) << c.max;
    }
    std::string content;
    std::uint64_t start = 0;
    EXPECT_EQ(readFileEnd(dir.path(), 4, content, start), std::errc::is_a_directory);
}

} // namespace
} // namespace kqvdr
