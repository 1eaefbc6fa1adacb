#include "PortFile.h"
#include "RunningProgram.h"
#include "SimulatorProcess.h"
#include "TemporaryDirectory.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace kqvdr {
namespace {

using namespace std::chrono_literals;
using test::countOf;
using test::receivedCodes;
using test::RunningProgram;
using test::waitUntil;

// The program reaches the instrument through a device name, as through a USB adapter's
// /dev/serial/by-id link. The adapter is pulled out (the name goes, the line hangs up) and the
// instrument switched off; then both come back, under the same name. Nobody touches the
// program, whose communication-error message stays open all along.
TEST(ProgramOnAnAdapter, PulledOutAndPutBackThePollReachesTheInstrumentAgainWithin5s) {
    test::TemporaryDirectory dir;
    writePortFile(dir.path(), "COM 1");
    const std::filesystem::path adapter = dir.path() / "usb-KQ_Adapter-if00-port0";
    const std::string firstTrace = (dir.path() / "trace1.txt").string();
    auto simulator =
        std::make_unique<test::SimulatorProcess>(std::vector<std::string>{"--trace"}, firstTrace);
    std::filesystem::create_symlink(simulator->ptyPath(), adapter);

    RunningProgram program(dir.path().string(), adapter.string());
    ASSERT_TRUE(waitUntil([&] { return countOf(receivedCodes(firstTrace), 17) >= 2; }));

    std::filesystem::remove(adapter);
    simulator->stop();
    ASSERT_TRUE(waitUntil([&] {
        return test::readBytes(dir.file("audit.log")).find("the instrument stopped answering") !=
               std::string::npos;
    }));
    std::this_thread::sleep_for(1500ms); // the driver has tried and failed at least once
    ASSERT_TRUE(program.running());

    const std::string secondTrace = (dir.path() / "trace2.txt").string();
    simulator =
        std::make_unique<test::SimulatorProcess>(std::vector<std::string>{"--trace"}, secondTrace);
    const auto back = std::chrono::steady_clock::now();
    std::filesystem::create_symlink(simulator->ptyPath(), adapter);
    const bool polled = waitUntil([&] { return countOf(receivedCodes(secondTrace), 17) >= 1; }, 5s);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - back).count();
    EXPECT_TRUE(polled) << "no status request within 5 s of the adapter's return";
    std::printf("[ figure ] first status request %.2f s after the adapter came back\n", seconds);
    EXPECT_TRUE(waitUntil([&] { return countOf(receivedCodes(secondTrace), 17) >= 3; }))
        << "and the sweeps go on";
    EXPECT_TRUE(program.running());
}

} // namespace
} // namespace kqvdr
