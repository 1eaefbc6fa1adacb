#include "DataDirectory.h"

#include "SuppliedFiles.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

TEST(DataDirectory, InstalledLayoutUsesTheUserDirectoryBuildTreeItsOwnAndDirWinsOverBoth) {
    test::TemporaryDirectory root;
    const fs::path installedBin = root.path() / "usr/bin";
    const fs::path share = root.path() / "usr/share/kqvdr1000-control";
    const fs::path buildBin = root.path() / "build/check/bin";
    const fs::path libexec = root.path() / "usr/libexec";
    for (const fs::path& dir : {installedBin, share, buildBin, libexec}) {
        fs::create_directories(dir);
    }
    const fs::path user = root.path() / "home/.local/share/kqvdr1000-control";
    const std::string lab = (root.path() / "lab").string();

    struct Case {
        const char* what;
        std::optional<std::string> dirOption;
        fs::path executableDir;
        fs::path dir;
        fs::path suppliedFrom;
    };
    const Case cases[] = {
        {"installed", std::nullopt, installedBin, user, share},
        {"installed, separator", std::nullopt, installedBin.string() + "/", user, share},
        {"installed with --dir", lab, installedBin, lab, share},
        {"build tree", std::nullopt, buildBin, buildBin, {}},
        {"build tree with --dir", lab, buildBin, lab, buildBin},
        {"empty --dir", std::string(), buildBin, buildBin, {}},
        {"share but not in bin", std::nullopt, libexec, libexec, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DataDirectory chosen = chooseDataDirectory(c.dirOption, c.executableDir, user);
        EXPECT_EQ(chosen.dir, c.dir);
        EXPECT_EQ(chosen.suppliedFrom.lexically_normal(), c.suppliedFrom.lexically_normal());
    }
}

TEST(DataDirectory, AnInstalledProgramUsesTheSharedFolderAndCopiesOnlyFromTheUsersOwn) {
    test::TemporaryDirectory root;
    const fs::path installedBin = root.path() / "usr/bin";
    const fs::path buildBin = root.path() / "build/check/bin";
    fs::create_directories(root.path() / "usr/share/kqvdr1000-control");
    fs::create_directories(buildBin);
    const fs::path user = root.path() / "AppData/Local/kqvdr1000-control";
    const fs::path shared = root.path() / "ProgramData/KQ-VDR1000 Control";
    const std::string lab = (root.path() / "lab").string();

    struct Case {
        const char* what;
        std::optional<std::string> dirOption;
        fs::path executableDir;
        fs::path dir;
        fs::path earlierDir;
    };
    const Case cases[] = {
        {"installed", std::nullopt, installedBin, shared, user},
        {"installed with --dir", lab, installedBin, lab, {}},
        {"build tree", std::nullopt, buildBin, buildBin, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DataDirectory chosen =
            chooseDataDirectory(c.dirOption, c.executableDir, user, shared);
        EXPECT_EQ(chosen.dir, c.dir);
        EXPECT_EQ(chosen.earlierDir, c.earlierDir);
    }
}

TEST(DataDirectory, OnlyShippedMethodAndSequenceFilesAreSupplied) {
    for (const char* name : {"Default.mtd", "mDefault.mtd", "Test.mtd", "mTest.mtd", "Test.seq"}) {
        EXPECT_TRUE(isSuppliedDataFile(name)) << name;
    }
    for (const char* name : {"Names.mtd", "Methods.mtd", "Auto.seq", "KQ-VDR 1000.ini",
                             "vdr_com1.log", "kqvdr1000-control", "Default.mtd.tmp12", "mtd"}) {
        EXPECT_FALSE(isSuppliedDataFile(name)) << name;
    }
}

class SeedDataDirectory : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(supplied / "help");
        test::writeBytes(supplied / "Default.mtd", "shipped default");
        test::writeBytes(supplied / "Test.seq", std::string("\x05timetable\0\xff", 12));
        test::writeBytes(supplied / "Names.mtd", "names left in a build tree");
        test::writeBytes(supplied / "kqvdr1000-control", "program");
        test::writeBytes(supplied / "help" / "index.html", "<html>");
    }

    test::TemporaryDirectory root;
    fs::path supplied = root.path() / "share";
    fs::path user = root.path() / "home/.local/share/kqvdr1000-control";
};

TEST_F(SeedDataDirectory, FirstStartCreatesTheDirectoryWithCopiesOfTheSuppliedFilesOnly) {
    ASSERT_FALSE(seedDataDirectory({user, supplied}));

    EXPECT_EQ(test::readBytes(user / "Default.mtd"), "shipped default");
    EXPECT_EQ(test::readBytes(user / "Test.seq"), test::readBytes(supplied / "Test.seq"));
    for (const char* absent : {"Names.mtd", "kqvdr1000-control", "help"}) {
        EXPECT_FALSE(fs::exists(user / absent)) << absent;
    }
    EXPECT_TRUE(fs::exists(user / SuppliedRecord::kFileName));
    EXPECT_EQ(std::distance(fs::directory_iterator(user), fs::directory_iterator()), 3)
        << "no temporary files are left behind";
}

TEST_F(SeedDataDirectory, TheUsersOwnFilesAreKeptAndOnlyMissingOnesComeBack) {
    fs::create_directories(user);
    test::writeBytes(user / "Default.mtd", "edited by the user");
    test::writeBytes(user / "Names.mtd", "the user's names");

    ASSERT_FALSE(seedDataDirectory({user, supplied}));
    EXPECT_EQ(test::readBytes(user / "Default.mtd"), "edited by the user");
    EXPECT_EQ(test::readBytes(user / "Names.mtd"), "the user's names");
    EXPECT_TRUE(fs::exists(user / "Test.seq"));

    fs::remove(user / "Test.seq");
    ASSERT_FALSE(seedDataDirectory({user, supplied}));
    EXPECT_EQ(test::readBytes(user / "Test.seq"), test::readBytes(supplied / "Test.seq"));
    EXPECT_EQ(test::readBytes(user / "Default.mtd"), "edited by the user");
}

TEST_F(SeedDataDirectory, ABuildTreeDirectoryIsLeftAsItIs) {
    ASSERT_FALSE(seedDataDirectory({supplied, supplied}));
    ASSERT_FALSE(seedDataDirectory({supplied, {}}));
    EXPECT_EQ(test::readBytes(supplied / "Names.mtd"), "names left in a build tree");
}

TEST_F(SeedDataDirectory, ADirectoryThatCannotBeMadeIsReported) {
    test::writeBytes(root.path() / "file", "x");
    EXPECT_TRUE(seedDataDirectory({root.path() / "file" / "data", supplied}));
}

TEST(SuppliedFiles, AnUpdateReplacesOnlyACopyStillAsSuppliedAndTellsOnceAboutAChangedOne) {
    const std::string a = sha256Hex("a");
    const std::string b = sha256Hex("b");
    const std::string own = sha256Hex("own");
    struct Case {
        const char* what;
        std::optional<std::string> users;
        std::string supplied;
        std::optional<std::string> lastSupplied;
        SuppliedFileAction action;
    };
    const Case cases[] = {
        {"missing", std::nullopt, b, a, SuppliedFileAction::Copy},
        {"missing, no record", std::nullopt, b, std::nullopt, SuppliedFileAction::Copy},
        {"as supplied now", b, b, a, SuppliedFileAction::UpToDate},
        {"as supplied now, no record", b, b, std::nullopt, SuppliedFileAction::UpToDate},
        {"as supplied before", a, b, a, SuppliedFileAction::Update},
        {"changed, newer supplied", own, b, a, SuppliedFileAction::KeepOwnAndTell},
        {"changed, already told", own, b, b, SuppliedFileAction::KeepOwn},
        {"no record, differs", own, b, std::nullopt, SuppliedFileAction::KeepOwnAndTell},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(suppliedFileAction(c.users, c.supplied, c.lastSupplied), c.action) << c.what;
    }
}

TEST_F(SeedDataDirectory, ANewerVersionUpdatesUnchangedFilesKeepsChangedOnesAndSaysSoOnce) {
    ASSERT_FALSE(seedDataDirectory({user, supplied}));
    test::writeBytes(user / "Default.mtd", "edited by the user");
    test::writeBytes(supplied / "Default.mtd", "shipped default, version 2");
    test::writeBytes(supplied / "Test.seq", "timetable, version 2");

    std::vector<std::string> kept;
    ASSERT_FALSE(seedDataDirectory({user, supplied}, &kept));
    EXPECT_EQ(test::readBytes(user / "Test.seq"), "timetable, version 2");
    EXPECT_EQ(test::readBytes(user / "Default.mtd"), "edited by the user");
    EXPECT_EQ(kept, std::vector<std::string>{"Default.mtd"});

    kept.clear();
    ASSERT_FALSE(seedDataDirectory({user, supplied}, &kept));
    EXPECT_TRUE(kept.empty()) << "told once";
    EXPECT_EQ(test::readBytes(user / "Default.mtd"), "edited by the user");

    // The user goes back to the supplied file: later versions update it again.
    test::writeBytes(user / "Default.mtd", "shipped default, version 2");
    test::writeBytes(supplied / "Default.mtd", "shipped default, version 3");
    ASSERT_FALSE(seedDataDirectory({user, supplied}, &kept));
    EXPECT_EQ(test::readBytes(user / "Default.mtd"), "shipped default, version 3");
    EXPECT_TRUE(kept.empty());
}

TEST_F(SeedDataDirectory, ADamagedRecordUpdatesNothingTheUserMayHaveChanged) {
    ASSERT_FALSE(seedDataDirectory({user, supplied}));
    test::writeBytes(user / SuppliedRecord::kFileName, "garbage\n0123  Test.seq\n");
    test::writeBytes(supplied / "Test.seq", "timetable, version 2");
    const std::string before = test::readBytes(user / "Test.seq");

    std::vector<std::string> kept;
    ASSERT_FALSE(seedDataDirectory({user, supplied}, &kept));
    EXPECT_EQ(test::readBytes(user / "Test.seq"), before);
    EXPECT_EQ(kept, std::vector<std::string>{"Test.seq"});
    EXPECT_EQ(SuppliedRecord::read(user).sumOf("Test.seq"), sha256Hex("timetable, version 2"));
}

TEST(SuppliedFiles, TheMessageNamesEachKeptFileAndWhereTheNewOnesAre) {
    const MessageRequest message =
        newerSuppliedFilesMessage({"Test.seq", "Default.mtd"}, "/opt/share", "KQ-VDR");
    EXPECT_EQ(message.caption, "KQ-VDR");
    for (const char* part : {"Test.seq", "Default.mtd", "/opt/share"}) {
        EXPECT_NE(message.text.find(part), std::string::npos) << part;
    }
}

} // namespace
} // namespace kqvdr
