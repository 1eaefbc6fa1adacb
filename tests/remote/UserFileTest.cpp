#include "UserFile.h"

#include "FileReplace.h"
#include "TemporaryDirectory.h"
#include "UserStore.h"

#include <fstream>
#include <gtest/gtest.h>

#ifdef _WIN32
#include "OwnerOnlyFileWin32.h"
#include "Utf8Path.h"

#include <sddl.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace kqvdr::remote {
namespace {

namespace fs = std::filesystem;

RemoteUser user(std::string name, Role role) {
    return {std::move(name), role,
            PasswordHash{{1024, 8, 1}, std::string(16, '\x01'), std::string(32, '\xfe')}};
}

const char* const kGoodLine = "user ann operator scrypt 1024 8 1 AQEBAQEBAQEBAQEBAQEBAQ== "
                              "/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v4=\n";

TEST(UserFileTest, UsersSurviveBeingWrittenAndReadBack) {
    const std::vector<RemoteUser> users = {user("ann", Role::Observer),
                                           user("bob.smith", Role::Operator),
                                           user("Carla_2-x", Role::Supervisor)};
    std::string problem;
    EXPECT_EQ(parseUserFile(userFileText(users), problem), users) << problem;
}

TEST(UserFileTest, ReadsCrLfLinesCommentsAndAnEmptyList) {
    std::string problem;
    const auto users =
        parseUserFile(std::string("# note\r\nformat 1\r\n\r\n") + kGoodLine, problem);
    ASSERT_TRUE(users) << problem;
    ASSERT_EQ(users->size(), 1u);
    EXPECT_EQ(users->front().role, Role::Operator);
    EXPECT_EQ(parseUserFile("format 1\n", problem), std::vector<RemoteUser>{});
}

TEST(UserFileTest, DamagedTextIsRefusedWithTheLineAndTheReason) {
    const std::string good = kGoodLine;
    const struct {
        std::string text;
        std::string reason;
    } cases[] = {
        {"", "\"format 1\" line is missing"},
        {good, "line 1: the \"format 1\" line is missing"},
        {"format 2\n" + good, "line 1: format 2"},
        {"format 1\nuser ann operator\n", "line 2: not a \"user NAME"},
        {"format 1\nadmin ann\n", "line 2: not a \"user ...\" line"},
        {"format 1\nuser ann root scrypt 1024 8 1 AQEBAQEBAQEBAQEBAQEBAQ== "
         "/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v4=\n",
         "line 2: unknown role \"root\""},
        {"format 1\nuser a/b operator scrypt 1024 8 1 AQEBAQEBAQEBAQEBAQEBAQ== "
         "/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v4=\n",
         "line 2: a user name has only"},
        {"format 1\nuser ann operator scrypt 1000 8 1 AQEBAQEBAQEBAQEBAQEBAQ== "
         "/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v4=\n",
         "line 2: a scrypt cost"},
        {"format 1\nuser ann operator scrypt 1024 8 1 AQEB !!!\n", "line 2: a damaged salt"},
        {"format 1\n" + good + good, "line 3: the user ann a second time"},
    };
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_FALSE(parseUserFile(c.text, problem)) << c.text;
        EXPECT_NE(problem.find(c.reason), std::string::npos) << c.text << " gave: " << problem;
    }
}

TEST(UserFileTest, UserNamesAreShortPlainWords) {
    EXPECT_EQ(userNameProblem("lab.tech_01-b"), "");
    for (const std::string& bad : std::vector<std::string>{"", std::string(65, 'a'), "ann smith",
                                                           "ann@lab", "änn", "a\nb"}) {
        EXPECT_NE(userNameProblem(bad), "") << bad;
    }
}

TEST(UserStoreTest, NoFileMeansNoUsers) {
    test::TemporaryDirectory dir;
    UserStore store(dir.path());
    EXPECT_TRUE(store.load()) << store.error();
    EXPECT_TRUE(store.users().empty());
}

TEST(UserStoreTest, SavedFileIsReadableByItsOwnerOnlyAndLoadsAgain) {
    test::TemporaryDirectory dir;
    UserStore store(dir.path());
    ASSERT_TRUE(store.save({user("ann", Role::Supervisor)})) << store.error();
#ifndef _WIN32
    struct stat facts {};
    ASSERT_EQ(::stat(store.file().c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & 0777, 0600u);
#endif
    UserStore again(dir.path());
    ASSERT_TRUE(again.load()) << again.error();
    EXPECT_EQ(again.users(), std::vector<RemoteUser>{user("ann", Role::Supervisor)});
}

#ifndef _WIN32
TEST(UserStoreTest, AFileOthersMayReadOrADamagedOneIsRefusedNamedAndLeftAlone) {
    const struct {
        std::string text;
        mode_t mode;
        std::string reason;
    } cases[] = {
        {"format 1\n", 0640, "others may read it (mode 0640)"},
        {"format 1\n", 0604, "others may read it (mode 0604)"},
        {"format 1\nuser ann\n", 0600, "is damaged (line 2"},
        {std::string("format 1\n") + kGoodLine +
             "user bob wizard scrypt 1024 8 1 "
             "AQEBAQEBAQEBAQEBAQEBAQ== "
             "/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v7+/v4=\n",
         0600, "unknown role \"wizard\""},
    };
    for (const auto& c : cases) {
        test::TemporaryDirectory dir;
        UserStore store(dir.path());
        { std::ofstream(store.file(), std::ios::binary) << c.text; }
        ASSERT_EQ(::chmod(store.file().c_str(), c.mode), 0);
        EXPECT_FALSE(store.load()) << c.text;
        EXPECT_NE(store.error().find(store.file().string()), std::string::npos) << store.error();
        EXPECT_NE(store.error().find(c.reason), std::string::npos) << store.error();
        std::string after;
        ASSERT_FALSE(readWholeFile(store.file(), after, 1 << 20));
        EXPECT_EQ(after, c.text);
        struct stat facts {};
        ASSERT_EQ(::stat(store.file().c_str(), &facts), 0);
        EXPECT_EQ(facts.st_mode & 0777, c.mode);
    }
}
#else
// Windows keeps who may read in the file's access list.
TEST(UserStoreTest, ASavedFileLoadsAgainAndOneEveryoneMayReadIsRefusedNamedAndLeftAlone) {
    test::TemporaryDirectory dir;
    UserStore store(dir.path());
    ASSERT_TRUE(store.save({user("ann", Role::Supervisor)})) << store.error();
    UserStore again(dir.path());
    ASSERT_TRUE(again.load()) << again.error();
    EXPECT_EQ(again.users(), std::vector<RemoteUser>{user("ann", Role::Supervisor)});

    ASSERT_TRUE(fs::remove(store.file()));
    std::error_code error;
    const std::wstring readable = L"D:P(A;;FA;;;" + currentUserSid(error) + L")(A;;FR;;;WD)";
    ASSERT_FALSE(error) << error.message();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        readable.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const HANDLE file = ::CreateFileW(store.file().c_str(), GENERIC_WRITE, 0, &attributes,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ::LocalFree(descriptor);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string text = std::string("format 1\n") + kGoodLine;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);

    EXPECT_FALSE(again.load());
    EXPECT_TRUE(again.users().empty());
    EXPECT_NE(again.error().find("The users file " + utf8FromPath(store.file()) +
                                 " is not private: others may read it ("),
              std::string::npos)
        << again.error();
    EXPECT_NE(again.error().find("/remove *S-1-1-0."), std::string::npos) << again.error();
    std::string after;
    ASSERT_FALSE(readWholeFile(store.file(), after, 1 << 20));
    EXPECT_EQ(after, text);
}
#endif

} // namespace
} // namespace kqvdr::remote
