#include "MetadataGate.h"

#include "FeatureIdentifier.h"
#include "FeatureIds.h"
#include "LockControllerService.h"
#include "ServerLockFixture.h"
#include "SiLAFramework.pb.h"
#include "SnapshotBoard.h"
#include "StreamLimit.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

namespace sila = sila2::org::silastandard;
using namespace std::chrono_literals;
using Answer = ServerLock::Answer;

// A stand-in for the metadata later features declare (an access token, a lock identifier):
// a String badge, "alice" lets in, anything else is refused as the feature's own error.
constexpr const char* kBadge = "com.example/test/Gatekeeper/v1/Metadata/Badge";
const std::string kBadgeKey = "sila-com.example-test-gatekeeper-v1-metadata-badge-bin";

std::string badge(const std::string& text) {
    sila::String value;
    value.set_value(text);
    // Metadata_Badge { String Badge = 1; } written by hand: field 1, length-delimited.
    const std::string inner = value.SerializeAsString();
    return std::string("\x0a", 1) + static_cast<char>(inner.size()) + inner;
}

MetadataGate gateWithBadge() {
    MetadataGate gate;
    gate.declare({kBadge,
                  {kDetectorControllerFeature, commandId(kMethodStoreFeature, "StoreMethod")},
                  [](std::string_view, std::string_view value,
                     MetadataGate::Admission& admission) -> Outcome {
                      const auto text = stringMetadataValue(value);
                      if (!text) {
                          return frameworkError(FrameworkErrorType::InvalidMetadata, "unreadable");
                      }
                      if (*text != "alice") {
                          return definedError("com.example/test/Gatekeeper/v1/"
                                              "DefinedExecutionError/UnknownBadge",
                                              "who?");
                      }
                      admission.facts["user"] = *text;
                      return std::nullopt;
                  }});
    return gate;
}

TEST(MetadataGate, HeaderKeyIsTheIdentifierWithDashesInLowerCase) {
    EXPECT_EQ(MetadataGate::headerKey("org.silastandard/core/LockController/v2/Metadata/"
                                      "LockIdentifier"),
              "sila-org.silastandard-core-lockcontroller-v2-metadata-lockidentifier-bin");
    EXPECT_EQ(MetadataGate::headerKey(kBadge), kBadgeKey);
}

TEST(MetadataGate, AdmitsOrRefusesEachCallAsTheDeclarationsSay) {
    const MetadataGate gate = gateWithBadge();
    const std::string alice = badge("alice");
    const std::string bob = badge("bob");
    const std::string setMode = commandId(kDetectorControllerFeature, "SetMode");
    const std::string mode = propertyId(kDetectorControllerFeature, "Mode");
    const std::string storeMethod = commandId(kMethodStoreFeature, "StoreMethod");
    const std::string getMethod = commandId(kMethodStoreFeature, "GetMethod");
    const std::string serverName = propertyId(kSilaServiceFeature, "ServerName");
    using Kind = SilaFailure::Kind;
    struct Case {
        const char* what;
        std::string call;
        MetadataGate::Headers headers;
        std::optional<Kind> refusal;
        std::optional<FrameworkErrorType> framework;
    };
    const Case cases[] = {
        {"affected feature, badge sent", setMode, {{kBadgeKey, alice}}, {}, {}},
        {"a property of the feature", mode, {{kBadgeKey, alice}}, {}, {}},
        {"missing", setMode, {}, Kind::Framework, FrameworkErrorType::InvalidMetadata},
        {"other headers are no badge",
         setMode,
         {{"user-agent", "x"}},
         Kind::Framework,
         FrameworkErrorType::InvalidMetadata},
        {"unparseable",
         setMode,
         {{kBadgeKey, "\x07"}},
         Kind::Framework,
         FrameworkErrorType::InvalidMetadata},
        {"wrong type: an integer where a String is",
         setMode,
         {{kBadgeKey, "\x08\x05"}},
         Kind::Framework,
         FrameworkErrorType::InvalidMetadata},
        {"refused by the feature", setMode, {{kBadgeKey, bob}}, Kind::DefinedExecution, {}},
        {"affected command", storeMethod, {{kBadgeKey, alice}}, {}, {}},
        {"affected command without it",
         storeMethod,
         {},
         Kind::Framework,
         FrameworkErrorType::InvalidMetadata},
        {"unaffected command of the same feature", getMethod, {}, {}, {}},
        {"unaffected command ignores what it does not need", getMethod, {{kBadgeKey, bob}}, {}, {}},
        {"SiLAService without metadata", serverName, {{"user-agent", "x"}}, {}, {}},
        {"SiLAService with metadata",
         serverName,
         {{kBadgeKey, alice}},
         Kind::Framework,
         FrameworkErrorType::NoMetadataAllowed},
        {"SiLAService with any sila- header",
         commandId(kSilaServiceFeature, "SetServerName"),
         {{"sila-whatever-bin", ""}},
         Kind::Framework,
         FrameworkErrorType::NoMetadataAllowed},
    };
    for (const Case& c : cases) {
        MetadataGate::Admission admission;
        const Outcome outcome = gate.admit(c.call, c.headers, admission);
        ASSERT_EQ(outcome.has_value(), c.refusal.has_value()) << c.what;
        if (outcome) {
            EXPECT_EQ(outcome->kind, *c.refusal) << c.what;
            if (c.framework) {
                EXPECT_EQ(outcome->framework, *c.framework) << c.what;
            }
        } else if (!c.headers.empty() && c.headers.front().second == alice && c.call != getMethod) {
            EXPECT_EQ(admission.facts["user"], "alice") << c.what;
        }
    }
}

TEST(MetadataGate, CallsAndDeclarationsMatchWithoutRegardToCase) {
    const MetadataGate gate = gateWithBadge();
    MetadataGate::Admission admission;
    const Outcome missing =
        gate.admit("COM.BRACKWATER/detector/detectorcontroller/V1/Command/SetMode", {}, admission);
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->framework, FrameworkErrorType::InvalidMetadata);
    EXPECT_TRUE(gate.admit("Org.SiLAStandard/Core/SiLAService/v1/Property/ServerName",
                           {{kBadgeKey, badge("alice")}}, admission)
                    .has_value());
}

TEST(MetadataGate, AMetadataNeededOnlyAtTimesLetsItsAbsenceBeJudged) {
    MetadataGate gate = gateWithBadge();
    bool needed = false;
    std::vector<std::string> judged;
    gate.declare({"com.example/test/Gatekeeper/v1/Metadata/Pass",
                  {kDetectorControllerFeature},
                  [](std::string_view, std::string_view, MetadataGate::Admission&) -> Outcome {
                      return std::nullopt;
                  },
                  [&](std::string_view call, MetadataGate::Admission& admission) -> Outcome {
                      // Runs after the badge's validator, and sees what it learned.
                      judged.push_back(std::string(call) + " " + admission.facts["user"]);
                      if (needed) {
                          return frameworkError(FrameworkErrorType::InvalidMetadata, "needed now");
                      }
                      return std::nullopt;
                  }});
    const std::string setMode = commandId(kDetectorControllerFeature, "SetMode");
    MetadataGate::Admission admission;
    EXPECT_FALSE(gate.admit(setMode, {{kBadgeKey, badge("alice")}}, admission).has_value());
    needed = true;
    const Outcome refused = gate.admit(setMode, {{kBadgeKey, badge("alice")}}, admission);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->framework, FrameworkErrorType::InvalidMetadata);
    EXPECT_EQ(judged, (std::vector<std::string>{setMode + " alice", setMode + " alice"}));
    // The badge itself is still required: its absence is refused before the pass is judged.
    EXPECT_TRUE(gate.admit(setMode, {}, admission).has_value());
    EXPECT_EQ(judged.size(), 2U);
    // Calls the pass does not affect never ask about it.
    EXPECT_FALSE(gate.admit(commandId(kMethodStoreFeature, "GetMethod"), {}, admission));
    EXPECT_EQ(judged.size(), 2U);
}

TEST(MetadataGate, AnswersWhatEachMetadataAffects) {
    const MetadataGate gate = gateWithBadge();
    EXPECT_EQ(gate.affectedBy(kBadge),
              (std::vector<std::string>{kDetectorControllerFeature,
                                        commandId(kMethodStoreFeature, "StoreMethod")}));
    EXPECT_TRUE(gate.affectedBy("com.example/test/Gatekeeper/v1/Metadata/Other").empty());
}

TEST(FeatureIdentifier, OnlyOriginatorCategoryIdentifierAndMajorVersionInAnyCaseAreOne) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"org.silastandard/core/SiLAService/v1", true},
        {"ORG.SILASTANDARD/CORE/SILASERVICE/V1", true},
        {"com.brackwater/detector/MethodStore/v12", true},
        {"", false},
        {"org.silastandard/core/SiLAService", false},
        {"org.silastandard/core/SiLAService/1", false},
        {"org.silastandard/core/SiLAService/v", false},
        {"org.silastandard/core/SiLAService/v1/", false},
        {"org.silastandard/core/SiLA.Service/v1", false},
        {"1org/core/SiLAService/v1", false},
        {"org.silastandard//SiLAService/v1", false},
        {"org.silastandard/core/SiLA Service/v1", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isFullyQualifiedFeatureIdentifier(c.text), c.valid) << c.text;
    }
    EXPECT_TRUE(sameIdentifier("org.silastandard/core/SiLAService/v1",
                               "Org.SiLAStandard/Core/silaservice/V1"));
    EXPECT_FALSE(sameIdentifier("org.silastandard/core/SiLAService/v1",
                                "org.silastandard/core/SiLAService/v2"));
}

TEST_F(LockTest, TheGateGuardsTheInstrumentFeaturesAndNamesTheCallerByTheTokensUserIfAny) {
    MetadataGate gate;
    // Stands in for the access token, declared before the lock as the server does.
    gate.declare({"com.example/test/Token/v1/Metadata/Token",
                  {kDetectorControllerFeature},
                  [](std::string_view, std::string_view, MetadataGate::Admission& admission) {
                      admission.facts["user"] = "carol";
                      return Outcome{};
                  }});
    SnapshotBoard board;
    StreamLimit streams(10, 10, board);
    LockControllerService service(gate, lock, streams);
    service.declareMetadata();
    // Cancel too: another client must not stop the lock holder's system test.
    const std::vector<std::string> guarded{kDetectorControllerFeature, kMethodStoreFeature,
                                           kSystemTestFeature, kCancelControllerFeature};
    EXPECT_EQ(LockControllerService::protectedFeatures(), guarded);
    EXPECT_EQ(gate.affectedBy(std::string(kLockControllerFeature) + "/Metadata/LockIdentifier"),
              guarded);
    ASSERT_EQ(lock.lock("A", 60s, "alice"), Answer::Done);
    const auto admit = [&](const std::string& call, MetadataGate::Headers headers) {
        MetadataGate::Admission admission;
        admission.facts["peer"] = "ipv4:10.0.0.8:5000";
        return gate.admit(call, headers, admission);
    };
    // Learning about the server, logging in and the lock's own calls stay open.
    for (const std::string& open : {propertyId(kSilaServiceFeature, "ServerName"),
                                    commandId(kLockControllerFeature, "UnlockServer"),
                                    commandId(kAuthenticationServiceFeature, "Login")}) {
        EXPECT_FALSE(admit(open, {}).has_value()) << open;
    }
    EXPECT_TRUE(admit(commandId(kMethodStoreFeature, "StoreMethod"), {}).has_value());
    EXPECT_TRUE(admit(commandId(kDetectorControllerFeature, "SetMode"),
                      {{MetadataGate::headerKey("com.example/test/Token/v1/Metadata/Token"), ""}})
                    .has_value());
    std::vector<std::string> refused;
    for (const Recorded& line : trail) {
        if (line.event.kind == AuditEventKind::RemoteLockRefused) {
            refused.push_back(line.who);
        }
    }
    EXPECT_EQ(refused, (std::vector<std::string>{"10.0.0.8", "carol@10.0.0.8"}));
}

} // namespace
} // namespace kqvdr::remote
