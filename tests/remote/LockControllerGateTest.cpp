#include "FeatureIds.h"
#include "LockControllerService.h"
#include "MetadataGate.h"
#include "ServerLockFixture.h"
#include "SnapshotBoard.h"
#include "StreamLimit.h"

#include <gtest/gtest.h>

namespace kqvdr::remote {
namespace {

using namespace std::chrono_literals;
using Answer = ServerLock::Answer;

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
