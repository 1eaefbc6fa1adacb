#include "Discovery.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace kqvdr {
namespace {

// The state once it has left "connecting", or the last one seen after a generous wait.
std::string settledState(const Discovery& discovery) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string state = discovery.state();
    while (state.find("connecting") != std::string::npos &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        state = discovery.state();
    }
    return state;
}

// Where no Avahi daemon runs (as on the build machines) the announcement stays quietly off.
TEST(Discovery, TheStateSaysWhetherTheServerIsAnnouncedAndWhyNot) {
    const Discovery discovery(
        {"0f8fad5b-d9cb-469f-a165-70867728950e", 50052, "4.10", "KQ-VDR 1000 Control", "", ""});
    const std::string state = settledState(discovery);
    if (discovery.announced()) {
        EXPECT_NE(state.find("Announced on the network as 0f8fad5b-d9cb-469f-a165-70867728950e."
                             "_sila._tcp, port 50052"),
                  std::string::npos)
            << state;
    } else {
        EXPECT_NE(state.find("Not announced"), std::string::npos) << state;
        EXPECT_NE(state.find("Avahi"), std::string::npos) << state;
    }
}

TEST(Discovery, AServerWithoutAPortIsNotAnnounced) {
    const Discovery discovery({"0f8fad5b-d9cb-469f-a165-70867728950e", 0, "4.10", "x", "", ""});
    EXPECT_FALSE(discovery.announced());
    EXPECT_NE(discovery.state().find("no port"), std::string::npos) << discovery.state();
}

} // namespace
} // namespace kqvdr
