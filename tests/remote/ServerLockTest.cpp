#include "ServerLock.h"

#include "ServerLockFixture.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

using namespace std::chrono_literals;
using Answer = ServerLock::Answer;

TEST_F(LockTest, AnswersEachStepOfALocksLifeAsTheStandardSays) {
    const std::optional<std::string_view> none;
    struct Step {
        const char* what;
        std::function<Answer()> act;
        Answer expected;
        bool lockedAfter;
    };
    const Step steps[] = {
        {"unlocked: a call without an identifier", [&] { return lock.admit(none, "c", "b"); },
         Answer::Done, false},
        {"unlocked: an identifier of no lock", [&] { return lock.admit("A", "c", "b"); },
         Answer::WrongIdentifier, false},
        {"unlock what is not locked", [&] { return lock.unlock("A", "b"); }, Answer::NotLocked,
         false},
        {"lock", [&] { return lock.lock("A", 60s, "alice"); }, Answer::Done, true},
        {"lock again, even with the same identifier", [&] { return lock.lock("A", 60s, "alice"); },
         Answer::AlreadyLocked, true},
        {"another client without the identifier", [&] { return lock.admit(none, "c", "bob"); },
         Answer::IdentifierMissing, true},
        {"a wrong identifier", [&] { return lock.admit("B", "c", "bob"); }, Answer::WrongIdentifier,
         true},
        {"identifiers are compared exactly", [&] { return lock.admit("a", "c", "bob"); },
         Answer::WrongIdentifier, true},
        {"the holder", [&] { return lock.admit("A", "c", "alice"); }, Answer::Done, true},
        {"unlock with a wrong identifier", [&] { return lock.unlock("B", "bob"); },
         Answer::WrongIdentifier, true},
        {"unlock", [&] { return lock.unlock("A", "alice"); }, Answer::Done, false},
        {"the old identifier after unlocking", [&] { return lock.admit("A", "c", "alice"); },
         Answer::WrongIdentifier, false},
        {"lock anew", [&] { return lock.lock("C", 60s, "bob"); }, Answer::Done, true},
        {"released at the panel",
         [&] { return lock.release() == "bob" ? Answer::Done : Answer::NotLocked; }, Answer::Done,
         false},
        {"the released identifier", [&] { return lock.admit("C", "c", "bob"); },
         Answer::WrongIdentifier, false},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(step.act(), step.expected) << step.what;
        EXPECT_EQ(lock.locked(), step.lockedAfter) << step.what;
    }
    EXPECT_EQ(lock.release(), std::nullopt);
}

TEST_F(LockTest, TimesOutOnlyWhenNoCallWithItsIdentifierCameForTheTimeout) {
    ASSERT_EQ(lock.lock("A", 60s, "alice"), Answer::Done);
    clock.time += 59s;
    // Calls refused or without the identifier do not keep the lock.
    EXPECT_EQ(lock.admit("B", "c", "bob"), Answer::WrongIdentifier);
    EXPECT_EQ(lock.admit("A", "c", "alice"), Answer::Done);
    clock.time += 59s;
    EXPECT_TRUE(lock.locked());
    lock.expire();
    EXPECT_TRUE(lock.locked());
    clock.time += 1s;
    EXPECT_FALSE(lock.locked());
    EXPECT_EQ(lock.holder(), std::nullopt);
    const auto before = lock.version();
    lock.expire();
    EXPECT_NE(lock.version(), before) << "subscribers are woken by the timeout";
    ASSERT_FALSE(trail.empty());
    EXPECT_EQ(trail.back().event.kind, AuditEventKind::RemoteUnlocked);
    EXPECT_EQ(trail.back().event.newValue, "timed out after 60 s without a call");
    EXPECT_EQ(lock.admit("A", "c", "alice"), Answer::WrongIdentifier);
    EXPECT_EQ(lock.admit(std::nullopt, "c", "bob"), Answer::Done);
    // Zero is no timeout at all.
    ASSERT_EQ(lock.lock("D", 0s, "bob"), Answer::Done);
    clock.time += std::chrono::hours(24 * 365);
    lock.expire();
    EXPECT_EQ(lock.holder(), "bob");
}

TEST_F(LockTest, TheAuditTrailHearsLockUnlockAndRefusalsButNotAFlood) {
    ASSERT_EQ(lock.lock("A", 0s, "alice"), Answer::Done);
    EXPECT_EQ(trail.back().who, "alice");
    EXPECT_EQ(trail.back().event.newValue, "no timeout");
    ASSERT_EQ(lock.admit(std::nullopt, "x/Command/SetMode", "bob"), Answer::IdentifierMissing);
    EXPECT_EQ(trail.back().who, "bob");
    EXPECT_EQ(trail.back().event.subject, "x/Command/SetMode");
    EXPECT_EQ(trail.back().event.newValue, "locked by alice, no lock identifier sent");
    for (int i = 0; i < 100; ++i) {
        (void)lock.admit("B", "c", "bob");
    }
    EXPECT_EQ(trail.size(), 1U + ServerLock::kRefusalsAudited);
    clock.time += 61s;
    (void)lock.admit("B", "c", "bob");
    EXPECT_EQ(trail.back().event.newValue,
              "wrong lock identifier (" + std::to_string(100 - ServerLock::kRefusalsAudited + 1) +
                  " more refused calls not written)");
    ASSERT_EQ(lock.unlock("A", "alice"), Answer::Done);
    EXPECT_EQ(trail.back().event.kind, AuditEventKind::RemoteUnlocked);
    EXPECT_EQ(trail.back().event.newValue, "unlocked by the client");
}

} // namespace
} // namespace kqvdr::remote
