#include "EarlierDataCopy.h"

#include "DataFolderLock.h"
#include "DataFolderTexts.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

class CopyFromTheUsersFolder : public testing::Test {
protected:
    test::TemporaryDirectory root;
    fs::path earlier = root.path() / "AppData/Local/kqvdr1000-control";
    fs::path shared = root.path() / "ProgramData/KQ-VDR1000 Control";

    void SetUp() override {
        fs::create_directories(earlier);
        fs::create_directories(shared);
    }
    std::size_t entriesIn(const fs::path& dir) const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
};

TEST_F(CopyFromTheUsersFolder, FilesTheSharedFolderLacksAreCopiedAndItsOwnAreNeverOverwritten) {
    test::writeBytes(earlier / "Methods.mtd", "bob's methods");
    test::writeBytes(earlier / "vdr_com1.log", "bob's log\r\n");
    test::writeBytes(earlier / "audit.log", "bob's trail");
    test::writeBytes(shared / "audit.log", "the shared trail");
    // Leftovers of the program and what is the account's alone stay where they are.
    test::writeBytes(earlier / "Names.mtd.tmp606914", "half a save");
    test::writeBytes(earlier / kDataFolderLockFile, "1\n");
    test::writeBytes(earlier / "sila-server.key", "private");
    fs::create_directories(earlier / "a folder");

    const EarlierDataCopy copy = copyEarlierData(earlier, shared);
    EXPECT_TRUE(copy.looked);
    EXPECT_EQ(copy.copied, (std::vector<std::string>{"Methods.mtd", "vdr_com1.log"}));
    EXPECT_EQ(copy.kept, (std::vector<std::string>{"audit.log"}));
    EXPECT_TRUE(copy.failed.empty());
    EXPECT_EQ(test::readBytes(shared / "Methods.mtd"), "bob's methods");
    EXPECT_EQ(test::readBytes(shared / "vdr_com1.log"), "bob's log\r\n");
    EXPECT_EQ(test::readBytes(shared / "audit.log"), "the shared trail");
    EXPECT_EQ(entriesIn(shared), 3u) << "nothing else, no temporary files";
    EXPECT_EQ(test::readBytes(earlier / "Methods.mtd"), "bob's methods") << "the original stays";

    const std::string note = test::readBytes(earlier / kEarlierDataNoteFile);
    EXPECT_NE(note.find(shared.string()), std::string::npos) << note;
    EXPECT_NE(note.find("Methods.mtd"), std::string::npos) << note;

    const std::string said = earlierDataCopyText(copy, earlier.string(), shared.string());
    EXPECT_NE(said.find(shared.string()), std::string::npos) << said;
    EXPECT_NE(said.find("Copied to the shared folder:\n    Methods.mtd\n    vdr_com1.log\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("has its own file of that name:\n    audit.log\n"), std::string::npos)
        << said;
}

TEST_F(CopyFromTheUsersFolder, HappensOnceAndSaysNothingAfterwards) {
    test::writeBytes(earlier / "Methods.mtd", "first");
    ASSERT_EQ(copyEarlierData(earlier, shared).copied.size(), 1u);

    test::writeBytes(earlier / "Auto.seq", "made later by the old version");
    fs::remove(shared / "Methods.mtd");
    const EarlierDataCopy again = copyEarlierData(earlier, shared);
    EXPECT_FALSE(again.looked);
    EXPECT_TRUE(earlierDataCopyText(again, earlier.string(), shared.string()).empty());
    EXPECT_FALSE(fs::exists(shared / "Auto.seq"));
    EXPECT_FALSE(fs::exists(shared / "Methods.mtd"));
}

TEST_F(CopyFromTheUsersFolder, NoEarlierFolderOrAnEmptyOneCopiesNothingAndSaysNothing) {
    for (const fs::path& from : {root.path() / "never made", earlier, fs::path()}) {
        SCOPED_TRACE(from.string());
        const EarlierDataCopy copy = copyEarlierData(from, shared);
        EXPECT_TRUE(copy.copied.empty());
        EXPECT_TRUE(earlierDataCopyText(copy, from.string(), shared.string()).empty());
    }
    EXPECT_EQ(entriesIn(shared), 0u);
}

TEST(DataFolderTexts, TheRefusalSaysItsSentenceAndNamesWhatTheLockTells) {
    struct Case {
        LockHolder holder;
        std::string tail;
    };
    const Case cases[] = {
        {{4242, "kqvdr1000-control.exe", "LAB\\alice"},
         "\n\nIt runs as process 4242 (kqvdr1000-control.exe) for LAB\\alice."},
        {{4242, "", ""}, "\n\nIt runs as process 4242."},
        {{0, "kqvdr1000-control", "bob"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        EXPECT_EQ(alreadyRunningText("C:\\ProgramData\\KQ-VDR1000 Control", c.holder),
                  "KQ-VDR1000 Control is already running for this data folder.\n\n"
                  "C:\\ProgramData\\KQ-VDR1000 Control" +
                      c.tail);
    }
}

} // namespace
} // namespace kqvdr
