#include "AccessTokenMetadata.h"

#include "AccessTokens.h"
#include "ClientKey.h"
#include "FeatureIds.h"
#include "ManualSteadyClock.h"
#include "SiLAFramework.pb.h"
#include "SnapshotBoard.h"
#include "StreamLimit.h"

#include <grpcpp/server_context.h>
#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

using namespace std::chrono_literals;
namespace sila = sila2::org::silastandard;

const std::string kTokenKey =
    "sila-org.silastandard-core-authorizationservice-v1-metadata-accesstoken-bin";

// Metadata_AccessToken { String AccessToken = 1; } as a client sends it.
std::string tokenMetadata(const std::string& token) {
    sila::String value;
    value.set_value(token);
    const std::string inner = value.SerializeAsString();
    return std::string("\x0a", 1) + static_cast<char>(inner.size()) + inner;
}

struct AccessTokenGate : ::testing::Test {
    test::ManualSteadyClock clock;
    AccessTokens tokens{clock};
    MetadataGate gate;

    AccessTokenGate() { gate.declare(accessTokenDeclaration(tokens)); }

    std::string login(std::string user, Role role) {
        return tokens.issue({std::move(user), role, "10.0.0.7", {}, {}}).value_or("");
    }
};

TEST_F(AccessTokenGate, AdmitsItsUsersAndRefusesEachFailureAsTheStandardSays) {
    const std::string ageing = tokenMetadata(login("eve", Role::Supervisor));
    clock.time += 30min;
    const std::string fresh = tokenMetadata(login("sam", Role::Supervisor));
    clock.time += 30min + 1s; // eve's token unused for an hour and a second, sam's for half
    const std::string observer = tokenMetadata(login("olga", Role::Observer));
    const std::string operatorToken = tokenMetadata(login("otto", Role::Operator));
    // The headers are views: what they show must outlive the table.
    const std::string unreadable("\x0a\x05\x0a\x03", 4);
    const std::string unknown = tokenMetadata("0123");
    using Kind = SilaFailure::Kind;
    const struct {
        const char* what;
        std::string call;
        MetadataGate::Headers headers;
        std::optional<Kind> refusal;
        std::string identifier; // a defined error's
        std::string inMessage;
    } cases[] = {
        {"operator sets the mode",
         commandId(kDetectorControllerFeature, "SetMode"),
         {{kTokenKey, operatorToken}},
         {},
         "",
         ""},
        {"observer subscribes",
         propertyId(kDetectorControllerFeature, "Mode"),
         {{kTokenKey, observer}},
         {},
         "",
         ""},
        {"observer stores a method",
         commandId(kMethodStoreFeature, "StoreMethod"),
         {{kTokenKey, observer}},
         Kind::DefinedExecution,
         errorId(kMethodStoreFeature, kNotAllowedForRole),
         "needs the role supervisor"},
        {"no token",
         commandId(kSystemTestFeature, "AnalyzeLog"),
         {},
         Kind::Framework,
         "",
         kAccessTokenMetadata},
        {"not a String message",
         commandId(kDetectorControllerFeature, "Autozero"),
         {{kTokenKey, unreadable}},
         Kind::Framework,
         "",
         ""},
        {"unknown token",
         commandId(kDetectorControllerFeature, "SetMode"),
         {{kTokenKey, unknown}},
         Kind::DefinedExecution,
         errorId(kAuthorizationServiceFeature, kInvalidAccessToken),
         ""},
        {"expired token",
         commandId(kDetectorControllerFeature, "SetMode"),
         {{kTokenKey, ageing}},
         Kind::DefinedExecution,
         errorId(kAuthorizationServiceFeature, kInvalidAccessToken),
         ""},
        {"token renewed by use within the hour",
         commandId(kMethodStoreFeature, "SendMethod"),
         {{kTokenKey, fresh}},
         {},
         "",
         ""},
        {"SiLAService needs none",
         commandId(kSilaServiceFeature, "GetFeatureDefinition"),
         {},
         {},
         "",
         ""},
        {"logging in needs none",
         commandId(kAuthenticationServiceFeature, "Login"),
         {},
         {},
         "",
         ""},
    };
    for (const auto& c : cases) {
        MetadataGate::Admission admission;
        const Outcome outcome = gate.admit(c.call, c.headers, admission);
        if (!c.refusal) {
            EXPECT_FALSE(outcome) << c.what << ": " << outcome->message;
            continue;
        }
        ASSERT_TRUE(outcome) << c.what;
        EXPECT_EQ(outcome->kind, *c.refusal) << c.what;
        EXPECT_EQ(outcome->identifier, c.identifier) << c.what;
        if (outcome->kind == Kind::Framework) {
            EXPECT_EQ(outcome->framework, FrameworkErrorType::InvalidMetadata) << c.what;
        }
        EXPECT_NE(outcome->message.find(c.inMessage), std::string::npos) << outcome->message;
        EXPECT_EQ(admission.facts.count(kUserFact), 0u) << c.what;
    }
}

TEST_F(AccessTokenGate, AnAdmittedCallKnowsWhoActsAndWhoseShareItCountsAgainst) {
    const std::string token = login("otto", Role::Operator);
    const std::string other = login("otto", Role::Operator);
    const auto admitted = [&](const std::string& sent) {
        MetadataGate::Admission admission;
        admission.facts["peer"] = "ipv4:192.168.1.20:53122";
        EXPECT_FALSE(gate.admit(commandId(kDetectorControllerFeature, "SetMode"),
                                {{kTokenKey, tokenMetadata(sent)}}, admission));
        return admission;
    };
    const auto first = admitted(token);
    EXPECT_EQ(first.facts.at(kUserFact), "otto");
    EXPECT_EQ(first.facts.at(kRoleFact), "operator");
    EXPECT_EQ(actingUser(first), "otto@192.168.1.20");
    // Each session its own share, and none holds the token itself.
    EXPECT_EQ(admitted(token).facts.at(kSessionFact), first.facts.at(kSessionFact));
    EXPECT_NE(admitted(other).facts.at(kSessionFact), first.facts.at(kSessionFact));
    EXPECT_EQ(first.facts.at(kSessionFact).find(token), std::string::npos);

    MetadataGate::Admission anonymous;
    anonymous.facts["peer"] = "ipv6:[::1]:53122";
    EXPECT_EQ(actingUser(anonymous), "::1");
}

TEST_F(AccessTokenGate, EachSessionBehindOneAddressHasItsOwnShareOfStreams) {
    const auto admitted = [&](const std::string& token) {
        MetadataGate::Admission admission;
        EXPECT_FALSE(gate.admit(propertyId(kDetectorControllerFeature, "Mode"),
                                {{kTokenKey, tokenMetadata(token)}}, admission));
        return admission;
    };
    const auto first = admitted(login("ann", Role::Observer));
    const auto second = admitted(login("ann", Role::Observer));
    SnapshotBoard board;
    StreamLimit limit(10, 2, board);
    grpc::ServerContext context; // one connection, one address for every stream
    const StreamLimit::Slot a(limit, context, clientKey(context, first));
    const StreamLimit::Slot b(limit, context, clientKey(context, first));
    const StreamLimit::Slot full(limit, context, clientKey(context, first));
    const StreamLimit::Slot other(limit, context, clientKey(context, second));
    const StreamLimit::Slot anonymous(limit, context, clientKey(context, {}));
    EXPECT_TRUE(a && b);
    EXPECT_FALSE(full);
    EXPECT_TRUE(other);
    EXPECT_TRUE(anonymous);
}

TEST(StreamLimit, GivesNoMoreSlotsThanItsMostAndTakesThemBackWhenTheyEnd) {
    SnapshotBoard board;
    StreamLimit limit(3, 2, board);
    grpc::ServerContext context; // one client: the same (empty) address for all
    {
        StreamLimit::Slot a(limit, context);
        StreamLimit::Slot b(limit, context);
        StreamLimit::Slot c(limit, context);
        EXPECT_TRUE(a);
        EXPECT_TRUE(b);
        EXPECT_FALSE(c);
        EXPECT_EQ(c.refusal(),
                  "This client has 2 streams open, as many as one client may: cancel one first.");
        EXPECT_EQ(limit.open(), 2u);
    }
    EXPECT_EQ(limit.open(), 0u);
    EXPECT_TRUE(StreamLimit::Slot(limit, context));
}

} // namespace
} // namespace kqvdr::remote
