// What logins cost the server. A token check (the authorizer on every call): target at most
// 20 µs. One login's password hash at the stored cost: target 50 to 300 ms, on the gRPC thread.
#include "AccessTokens.h"
#include "Authorizer.h"
#include "FeatureIds.h"
#include "PasswordHash.h"
#include "SystemSteadyClock.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kqvdr;
using namespace kqvdr::remote;

void BM_TokenCheck(benchmark::State& state) {
    SystemSteadyClock clock;
    AccessTokens tokens(clock);
    std::string token;
    // A busy laboratory's worth of sessions besides the one checked.
    for (int i = 0; i < 100; ++i) {
        token = tokens.issue({"user" + std::to_string(i), Role::Operator, "10.0.0.7", {}, {}})
                    .value_or("");
    }
    Authorizer authorizer(tokens);
    for (auto _ : state) {
        auto result = authorizer.check(token, kDetectorControllerFeature, "Command/SetMode");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_TokenCheck)->Unit(benchmark::kMicrosecond);

void BM_LoginHash(benchmark::State& state) {
    const auto stored = hashPassword("a-laboratory-password");
    for (auto _ : state) {
        benchmark::DoNotOptimize(passwordMatches(*stored, "a-laboratory-password"));
    }
}
BENCHMARK(BM_LoginHash)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
