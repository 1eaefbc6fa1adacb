// The file behaviour only Windows has: saves against a file another program holds open, logs
// opened for appending, the data-folder lock across processes, the account that acts, names
// between UTF-8 and UTF-16.
#include "DataFolderLock.h"
#include "FileReplace.h"
#include "LogFile.h"
#include "OperatingSystemUser.h"
#include "TemporaryDirectory.h"
#include "WideText.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <windows.h>

namespace kqvdr {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Held open the way an antivirus or an indexer holds a file it scans: readable by others, but
// not to be renamed, replaced or removed.
class ScannerHold {
public:
    ScannerHold(const fs::path& file, std::chrono::milliseconds forHowLong) {
        handle_ = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        release_ = std::thread([this, forHowLong] {
            std::this_thread::sleep_for(forHowLong);
            ::CloseHandle(handle_);
        });
    }
    ~ScannerHold() { release_.join(); }
    bool holding() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::thread release_;
};

std::size_t entriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(Win32FileReplace, ASaveWaitsOutAScannerThatLetsGoWithinASecond) {
    test::TemporaryDirectory dir;
    const fs::path target = dir.file("Methods.mtd");
    test::writeBytes(target, "old methods");
    ScannerHold scanner(target, 300ms);
    ASSERT_TRUE(scanner.holding());
    const auto started = std::chrono::steady_clock::now();
    const std::error_code error = replaceFileContent(target, "new methods");
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_FALSE(error) << error.message();
    EXPECT_EQ(test::readBytes(target), "new methods");
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "no temporary file stays behind";
    std::printf("save behind a 300 ms hold took %lld ms\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(waited).count()));
}

TEST(Win32FileReplace, ASaveAgainstALongHoldFailsWithWindowsOwnReasonAndKeepsTheOldContent) {
    test::TemporaryDirectory dir;
    const fs::path target = dir.file("Methods.mtd");
    test::writeBytes(target, "old methods");
    std::error_code error;
    std::chrono::steady_clock::duration waited{};
    {
        ScannerHold scanner(target, 5s);
        ASSERT_TRUE(scanner.holding());
        const auto started = std::chrono::steady_clock::now();
        error = replaceFileContent(target, "new methods");
        waited = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(test::readBytes(target), "old methods") << "unchanged while it is held";
    }
    ASSERT_TRUE(error);
    EXPECT_TRUE(error.value() == ERROR_SHARING_VIOLATION || error.value() == ERROR_ACCESS_DENIED)
        << error.value();
    EXPECT_STREQ(error.category().name(), "windows");
    // The C library's guess for every such failure was "Input/output error".
    EXPECT_EQ(error.message().find("Input/output"), std::string::npos) << error.message();
    EXPECT_FALSE(error.message().empty());
    EXPECT_EQ(test::readBytes(target), "old methods");
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "no temporary file stays behind";
    std::printf("save against a 5 s hold gave up after %lld ms: %s\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(waited).count()),
                error.message().c_str());
}

TEST(Win32LogFile, TwoWritersOnOneFileEachAppendAtTheEndAndNoLineIsOverwritten) {
    test::TemporaryDirectory dir;
    const fs::path path = dir.file("audit.log");
    test::writeBytes(path, "line 1\n");
    LogFile first;
    LogFile second;
    ASSERT_FALSE(first.open(path, LogFile::Mode::Existing));
    ASSERT_FALSE(second.open(path, LogFile::Mode::Existing));
    ASSERT_FALSE(first.append("line 2 from the first\n"));
    ASSERT_FALSE(second.append("line 3 from the second\n"));
    ASSERT_FALSE(first.append("line 4 from the first\n"));
    first.close();
    second.close();
    EXPECT_EQ(test::readBytes(path),
              "line 1\nline 2 from the first\nline 3 from the second\nline 4 from the first\n");
}

TEST(Win32LogFile, AFreshLogEmptiesTheOldOneAndAMissingOneIsNotMadeByExisting) {
    test::TemporaryDirectory dir;
    test::writeBytes(dir.file("vdr_com1.log"), "yesterday's log\n");
    LogFile log;
    ASSERT_FALSE(log.open(dir.file("vdr_com1.log"), LogFile::Mode::Fresh));
    ASSERT_FALSE(log.append("today\n"));
    log.close();
    EXPECT_EQ(test::readBytes(dir.file("vdr_com1.log")), "today\n");
    const std::error_code missing = log.open(dir.file("absent.log"), LogFile::Mode::Existing);
    EXPECT_TRUE(missing);
    EXPECT_TRUE(missing == std::errc::no_such_file_or_directory) << missing.message();
    EXPECT_FALSE(fs::exists(dir.file("absent.log")));
}

fs::path thisProgram() {
    wchar_t name[MAX_PATH];
    ::GetModuleFileNameW(nullptr, name, MAX_PATH);
    return name;
}

// This program started again to hold the lock of `folder` until it is ended.
class LockHoldingProcess {
public:
    explicit LockHoldingProcess(const fs::path& folder) {
        std::wstring command =
            L"\"" + thisProgram().wstring() + L"\" --hold-lock \"" + folder.wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &startup, &process_);
    }
    ~LockHoldingProcess() {
        if (started_) {
            kill();
            ::CloseHandle(process_.hThread);
            ::CloseHandle(process_.hProcess);
        }
    }
    bool started() const { return started_ != FALSE; }
    long long id() const { return process_.dwProcessId; }
    void kill() {
        ::TerminateProcess(process_.hProcess, 9);
        ::WaitForSingleObject(process_.hProcess, 10000);
    }

private:
    BOOL started_ = FALSE;
    PROCESS_INFORMATION process_{};
};

int holdLockUntilEnded(const fs::path& folder) {
    DataFolderLock lock;
    if (lock.acquire(folder, "holder") != DataFolderLock::Result::Held) {
        return 1;
    }
    test::writeBytes(folder / "held", "");
    ::Sleep(INFINITE);
    return 0;
}

TEST(Win32DataFolderLock, AnotherProcessIsRefusedAndNamedAndItsLockGoesWithIt) {
    test::TemporaryDirectory dir;
    LockHoldingProcess holder(dir.path());
    ASSERT_TRUE(holder.started());
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!fs::exists(dir.file("held")) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(fs::exists(dir.file("held")));

    DataFolderLock lock;
    ASSERT_EQ(lock.acquire(dir.path(), "second"), DataFolderLock::Result::HeldByAnother);
    EXPECT_EQ(lock.holder().processId, holder.id());
    EXPECT_EQ(lock.holder().program, thisProgram().filename().string());
    EXPECT_EQ(lock.holder().account, "holder");

    holder.kill(); // as a power cut or the task manager would
    EXPECT_EQ(lock.acquire(dir.path(), "second"), DataFolderLock::Result::Held)
        << lock.error().message();
    EXPECT_EQ(parseLockFileText(test::readBytes(dir.file(kDataFolderLockFile))).account, "second");
}

TEST(Win32OperatingSystemUser, TheAccountIsWindowsOwnWhateverUsernameSays) {
    const std::string before = operatingSystemUser();
    ::SetEnvironmentVariableW(L"USERNAME", L"mallory");
    ::SetEnvironmentVariableW(L"USER", L"mallory");
    ::SetEnvironmentVariableW(L"USERDOMAIN", L"EVIL");
    const std::string account = operatingSystemUser();
    EXPECT_EQ(account, before);
    EXPECT_NE(account.find('\\'), std::string::npos) << "DOMAIN\\user: " << account;
    EXPECT_EQ(account.find("mallory"), std::string::npos) << account;
    EXPECT_EQ(account.find("EVIL"), std::string::npos) << account;
}

// Names of folders, ports and accounts cross between UTF-8 and UTF-16 whole: characters beyond
// the basic plane are two UTF-16 units and four UTF-8 bytes, and nothing stops at a NUL.
TEST(Win32WideText, NamesCrossBetweenUtf8AndUtf16Whole) {
    const struct {
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"", L""},
        {"COM12", L"COM12"},
        {"Jos\xc3\xa9 \xc2\xb5S", L"Jos\u00e9 \u00b5S"},
        {"\xe6\xb8\xac\xe5\xae\x9a", L"\u6e2c\u5b9a"},
        {"\xf0\x9f\x94\xac lab", L"\U0001F52C lab"},
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wideFromUtf8(c.utf8), c.wide) << c.utf8;
        EXPECT_EQ(utf8FromWide(c.wide), c.utf8) << c.utf8;
    }
}

TEST(Win32WideText, BrokenUtf8IsReplacedNotCutShort) {
    const std::wstring wide = wideFromUtf8("ab\xff"
                                           "cd");
    EXPECT_EQ(wide.front(), L'a');
    EXPECT_EQ(wide.substr(wide.size() - 2), L"cd");
    EXPECT_NE(wide.find(L'\uFFFD'), std::wstring::npos);
}

} // namespace
} // namespace kqvdr

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--hold-lock") == 0) {
        return kqvdr::holdLockUntilEnded(argv[2]);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
