// What logins cost the server. A token check (the authorizer on every call, and the whole
// admission of a call with its AccessToken metadata): target at most 20 µs. One login's password
// hash at the stored cost: target 50 to 300 ms, on the gRPC thread.
#include "AccessTokenMetadata.h"
#include "AccessTokens.h"
#include "Authorizer.h"
#include "FeatureIds.h"
#include "MetadataGate.h"
#include "PasswordHash.h"
#include "SiLAFramework.pb.h"
#include "SystemSteadyClock.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kqvdr;
using namespace kqvdr::remote;

// A busy laboratory's worth of sessions; the last one's token, the one a benchmark checks.
std::string hundredSessions(AccessTokens& tokens) {
    std::string token;
    for (int i = 0; i < 100; ++i) {
        token = tokens.issue({"user" + std::to_string(i), Role::Operator, "10.0.0.7", {}, {}})
                    .value_or("");
    }
    return token;
}

void BM_TokenCheck(benchmark::State& state) {
    SystemSteadyClock clock;
    AccessTokens tokens(clock);
    const std::string token = hundredSessions(tokens);
    Authorizer authorizer(tokens);
    for (auto _ : state) {
        auto result = authorizer.check(token, kDetectorControllerFeature, "Command/SetMode");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_TokenCheck)->Unit(benchmark::kMicrosecond);

void BM_AccessTokenAdmission(benchmark::State& state) {
    SystemSteadyClock clock;
    AccessTokens tokens(clock);
    const std::string token = hundredSessions(tokens);
    MetadataGate gate;
    gate.declare(accessTokenDeclaration(tokens));
    sila2::org::silastandard::String value;
    value.set_value(token);
    const std::string inner = value.SerializeAsString();
    const std::string sent = std::string("\x0a", 1) + static_cast<char>(inner.size()) + inner;
    // Headers are views: the key they point at must outlive them.
    const std::string key = MetadataGate::headerKey(kAccessTokenMetadata);
    const MetadataGate::Headers headers = {{"user-agent", "grpc-python/1.51.1"}, {key, sent}};
    const std::string call = commandId(kDetectorControllerFeature, "SetMode");
    for (auto _ : state) {
        MetadataGate::Admission admission;
        admission.facts["peer"] = "ipv4:10.0.0.7:53122";
        auto refused = gate.admit(call, headers, admission);
        benchmark::DoNotOptimize(refused);
    }
}
BENCHMARK(BM_AccessTokenAdmission)->Unit(benchmark::kMicrosecond);

void BM_LoginHash(benchmark::State& state) {
    const auto stored = hashPassword("a-laboratory-password");
    for (auto _ : state) {
        benchmark::DoNotOptimize(passwordMatches(*stored, "a-laboratory-password"));
    }
}
BENCHMARK(BM_LoginHash)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
