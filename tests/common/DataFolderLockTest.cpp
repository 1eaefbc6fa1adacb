#include "DataFolderLock.h"

#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#endif

namespace kqvdr {
namespace {

namespace fs = std::filesystem;
using Result = DataFolderLock::Result;

long long ownProcessId() {
#ifdef _WIN32
    return static_cast<long long>(::GetCurrentProcessId());
#else
    return static_cast<long long>(::getpid());
#endif
}

TEST(DataFolderLock, ASecondHolderIsRefusedAndToldWhoHoldsItUntilItIsReleased) {
    test::TemporaryDirectory dir;
    DataFolderLock first;
    DataFolderLock second;
    ASSERT_EQ(first.acquire(dir.path(), "LAB\\alice"), Result::Held) << first.error().message();
    EXPECT_TRUE(first.held());

    ASSERT_EQ(second.acquire(dir.path(), "LAB\\bob"), Result::HeldByAnother);
    EXPECT_FALSE(second.held());
    EXPECT_EQ(second.holder().processId, ownProcessId());
    EXPECT_EQ(second.holder().account, "LAB\\alice");
    EXPECT_EQ(second.holder().program, thisProcess("").program);
    EXPECT_FALSE(second.holder().program.empty());

    first.release();
    EXPECT_EQ(second.acquire(dir.path(), "LAB\\bob"), Result::Held);
    EXPECT_EQ(first.acquire(dir.path(), "LAB\\alice"), Result::HeldByAnother);
    EXPECT_EQ(first.holder().account, "LAB\\bob");
}

TEST(DataFolderLock, TwoFoldersAreHeldSideBySide) {
    test::TemporaryDirectory one;
    test::TemporaryDirectory two;
    DataFolderLock first;
    DataFolderLock second;
    EXPECT_EQ(first.acquire(one.path(), "a"), Result::Held);
    EXPECT_EQ(second.acquire(two.path(), "a"), Result::Held);
}

TEST(DataFolderLock, AFolderThatIsNotThereCannotBeLockedAndSaysWhy) {
    test::TemporaryDirectory dir;
    DataFolderLock lock;
    EXPECT_EQ(lock.acquire(dir.file("missing"), "a"), Result::Failed);
    EXPECT_TRUE(lock.error());
    EXPECT_FALSE(lock.held());
}

TEST(DataFolderLock, AHolderNoteOfAnyShapeNamesWhatItCanAndNoMore) {
    struct Case {
        std::string text;
        long long processId;
        std::string program;
        std::string account;
    };
    const Case cases[] = {
        {"4242\nkqvdr1000-control.exe\nLAB\\alice\n", 4242, "kqvdr1000-control.exe", "LAB\\alice"},
        {"4242\n", 4242, "", ""},
        {"", 0, "", ""},
        {"12ab\nprogram\n", 0, "program", ""},
        {"-7\nprogram\nuser\n", 0, "program", "user"},
        {"99999999999999999999999\nx\n", 0, "x", ""},
        {std::string("\0\0\0", 3), 0, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const LockHolder holder = parseLockFileText(c.text);
        EXPECT_EQ(holder.processId, c.processId);
        EXPECT_EQ(holder.program, c.program);
        EXPECT_EQ(holder.account, c.account);
    }
    const LockHolder round{31337, "prog", "LAB\\bob"};
    const LockHolder back = parseLockFileText(lockFileText(round));
    EXPECT_EQ(back.processId, round.processId);
    EXPECT_EQ(back.program, round.program);
    EXPECT_EQ(back.account, round.account);
}

#ifndef _WIN32
TEST(DataFolderLock, ALockLeftByAKilledProgramIsTakenOver) {
    test::TemporaryDirectory dir;
    const pid_t child = ::fork();
    if (child == 0) {
        DataFolderLock lock;
        if (lock.acquire(dir.path(), "killed") == Result::Held) {
            test::writeBytes(dir.file("held"), "");
            ::pause();
        }
        ::_exit(1);
    }
    ASSERT_GT(child, 0);
    for (int i = 0; i < 1500 && !fs::exists(dir.file("held")); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(fs::exists(dir.file("held")));
    DataFolderLock lock;
    EXPECT_EQ(lock.acquire(dir.path(), "next"), Result::HeldByAnother);
    EXPECT_EQ(lock.holder().processId, child);

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(fs::exists(dir.file(kDataFolderLockFile))) << "the killed program's file stays";
    EXPECT_EQ(lock.acquire(dir.path(), "next"), Result::Held) << lock.error().message();
    EXPECT_EQ(parseLockFileText(test::readBytes(dir.file(kDataFolderLockFile))).processId,
              ::getpid());
}
#endif

} // namespace
} // namespace kqvdr
