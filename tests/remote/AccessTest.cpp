#include "AccessTokens.h"
#include "Authorizer.h"
#include "FeatureIds.h"
#include "LoginGuard.h"
#include "ManualSteadyClock.h"

#include <gtest/gtest.h>
#include <set>

namespace kqvdr::remote {
namespace {

using namespace std::chrono_literals;

constexpr const char* kLockController = "org.silastandard/core/LockController/v2";
constexpr const char* kCancelController = "org.silastandard/core.commands/CancelController/v1";

struct Tokens : ::testing::Test {
    test::ManualSteadyClock clock;
    AccessTokens tokens{clock};

    std::string login(std::string user, Role role, std::vector<std::string> features = {}) {
        auto token = tokens.issue({std::move(user), role, "10.0.0.7", std::move(features), {}});
        EXPECT_TRUE(token);
        return token.value_or("");
    }
};

TEST_F(Tokens, AreAtLeast128RandomBitsAndNeverRepeat) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const std::string token = login("ann", Role::Observer);
        EXPECT_GE(token.size() * 4, 128u);
        EXPECT_TRUE(seen.insert(token).second);
    }
}

TEST_F(Tokens, LiveAnHourAfterTheirLastUse) {
    const std::string token = login("ann", Role::Operator);
    clock.time += 59min;
    ASSERT_TRUE(tokens.use(token));
    clock.time += 59min; // two hours after the login, one minute less after the last use
    const auto session = tokens.use(token);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->user, "ann");
    EXPECT_EQ(session->role, Role::Operator);
    clock.time += 60min + 1s;
    EXPECT_FALSE(tokens.use(token));
    EXPECT_TRUE(tokens.sessions().empty());
}

TEST_F(Tokens, EndedOrUnknownTokensAreRefused) {
    const std::string token = login("ann", Role::Observer);
    const std::string other = login("bob", Role::Observer);
    EXPECT_FALSE(tokens.use(""));
    EXPECT_FALSE(tokens.use(token + "0"));
    ASSERT_TRUE(tokens.end(token));
    EXPECT_FALSE(tokens.use(token));
    EXPECT_FALSE(tokens.end(token));
    EXPECT_TRUE(tokens.use(other));
}

TEST_F(Tokens, AFloodOfLoginsEndsTheLeastRecentlyUsedSessions) {
    const std::string kept = login("ann", Role::Observer);
    clock.time += 1s;
    const std::string dropped = login("bob", Role::Observer);
    clock.time += 1s;
    ASSERT_TRUE(tokens.use(kept));
    for (std::size_t i = 0; i < AccessTokens::kMaxSessions; ++i) {
        clock.time += 1ms;
        login("flood", Role::Observer);
    }
    EXPECT_LE(tokens.sessions().size(), AccessTokens::kMaxSessions);
    EXPECT_FALSE(tokens.use(dropped));
}

struct Guard : ::testing::Test {
    test::ManualSteadyClock clock;
    LoginGuard guard{clock};

    LoginGuard::Locks failTimes(int times, const std::string& name, const std::string& address) {
        LoginGuard::Locks last;
        for (int i = 0; i < times; ++i) {
            last = guard.failed(name, address);
        }
        return last;
    }
};

TEST_F(Guard, TheFifthFailureWithinFiveMinutesLocksTheNameAndTheAddressForFive) {
    EXPECT_FALSE(failTimes(4, "ann", "10.0.0.7").any());
    EXPECT_FALSE(guard.locked("ann", "10.0.0.7").any());
    clock.time += 4min;
    const auto locks = guard.failed("ann", "10.0.0.7");
    EXPECT_TRUE(locks.name && locks.address);
    clock.time += 4min + 59s;
    EXPECT_TRUE(guard.locked("ann", "10.0.0.9").name);
    EXPECT_TRUE(guard.locked("bob", "10.0.0.7").address);
    clock.time += 1s;
    EXPECT_FALSE(guard.locked("ann", "10.0.0.7").any());
}

TEST_F(Guard, FailuresOlderThanFiveMinutesNoLongerCount) {
    failTimes(4, "ann", "10.0.0.7");
    clock.time += 5min + 1s;
    EXPECT_FALSE(guard.failed("ann", "10.0.0.7").any());
}

TEST_F(Guard, GuessingManyNamesFromOneAddressLocksTheAddress) {
    LoginGuard::Locks locks;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        locks = guard.failed(name, "10.0.0.66");
    }
    EXPECT_TRUE(locks.address);
    EXPECT_FALSE(locks.name);
    EXPECT_FALSE(guard.locked("a", "10.0.0.1").any());
}

TEST_F(Guard, ARightPasswordClearsTheNamesFailuresButNotTheAddresss) {
    failTimes(4, "ann", "10.0.0.7");
    guard.succeeded("ann");
    const auto locks = guard.failed("ann", "10.0.0.7");
    EXPECT_FALSE(locks.name);
    EXPECT_TRUE(locks.address);
}

TEST_F(Tokens, AuthorizerReadsTheFeatureFromAFullyQualifiedCall) {
    Authorizer authorizer(tokens);
    const std::string observer = login("olga", Role::Observer);
    const auto refused =
        authorizer.check(observer, "com.brackwater/detector/MethodStore/v1/Command/StoreMethod");
    ASSERT_TRUE(std::holds_alternative<SilaFailure>(refused));
    EXPECT_EQ(std::get<SilaFailure>(refused).identifier,
              errorId(kMethodStoreFeature, kNotAllowedForRole));
    EXPECT_TRUE(std::holds_alternative<Caller>(
        authorizer.check(observer, "com.brackwater/detector/MethodStore/v1/Command/GetMethod")));
    EXPECT_TRUE(std::holds_alternative<Caller>(
        authorizer.check(observer, "com.brackwater/detector/DetectorController/v1/Property/Mode")));
}

TEST_F(Tokens, AuthorizerNamesTheCallerOrTheRightFailure) {
    Authorizer authorizer(tokens);
    const std::string observer = login("olga", Role::Observer);
    const std::string operatorToken = login("otto", Role::Operator);
    const std::string scoped = login("sam", Role::Supervisor, {kMethodStoreFeature});

    const struct {
        std::string token;
        const char* feature;
        const char* call;
        std::string errorId; // empty: allowed
        std::string inMessage;
    } cases[] = {
        {"nope", kDetectorControllerFeature, "Property/Mode",
         errorId(kAuthorizationServiceFeature, kInvalidAccessToken), "log in again"},
        {observer, kDetectorControllerFeature, "Property/Mode", "", ""},
        {observer, kMethodStoreFeature, "Command/GetMethod", "", ""},
        {observer, kDetectorControllerFeature, "Command/SetMode",
         errorId(kDetectorControllerFeature, kNotAllowedForRole),
         "SetMode needs the role operator"},
        {operatorToken, kDetectorControllerFeature, "Command/SetMode", "", ""},
        {operatorToken, kMethodStoreFeature, "Command/StoreMethod",
         errorId(kMethodStoreFeature, kNotAllowedForRole), "needs the role supervisor"},
        {scoped, "COM.BRACKWATER/detector/MethodStore/v1", "Command/SendMethod", "", ""},
        {scoped, kSystemTestFeature, "Command/AnalyzeLog",
         errorId(kAuthorizationServiceFeature, kInvalidAccessToken), "not given for"},
        // The standard's own features cannot declare the role error: an undefined one says it.
        {observer, kLockController, "Command/LockServer", "", "LockServer needs the role operator"},
        {observer, kCancelController, "Command/CancelAll", "", "CancelAll needs the role operator"},
        {observer, kLockController, "Property/IsLocked", "", ""},
        {operatorToken, kCancelController, "Command/CancelCommand", "", ""},
    };
    for (const auto& c : cases) {
        const auto result = authorizer.check(c.token, c.feature, c.call);
        if (c.errorId.empty() && c.inMessage.empty()) {
            EXPECT_TRUE(std::holds_alternative<Caller>(result)) << c.call;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<SilaFailure>(result)) << c.call;
        const auto& failure = std::get<SilaFailure>(result);
        EXPECT_EQ(failure.kind, c.errorId.empty() ? SilaFailure::Kind::UndefinedExecution
                                                  : SilaFailure::Kind::DefinedExecution)
            << c.call;
        EXPECT_EQ(failure.identifier, c.errorId);
        EXPECT_NE(failure.message.find(c.inMessage), std::string::npos) << failure.message;
    }
}

} // namespace
} // namespace kqvdr::remote
