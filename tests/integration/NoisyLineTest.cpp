// The real program on a line that streams bytes without frames, at about the rate a 9600-baud
// line can carry: the poll must keep its pace and report the silent instrument as it would a
// line that carries nothing.
#include "PortFile.h"
#include "RunningProgram.h"
#include "SimulatorProcess.h"
#include "TemporaryDirectory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kqvdr {
namespace {

using namespace std::chrono_literals;
using SteadyTime = std::chrono::steady_clock;

double secondsBetween(SteadyTime::time_point from, SteadyTime::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Watches the simulator's trace as it grows and notes when each status request arrives.
class StatusRequestWatch {
public:
    explicit StatusRequestWatch(std::string path) : path_(std::move(path)) {}

    void poll() {
        std::ifstream in(path_);
        in.seekg(static_cast<std::streamoff>(readUpTo_));
        const auto now = SteadyTime::now();
        for (std::string line; std::getline(in, line);) {
            if (in.eof()) {
                break; // a line still being written; read it whole next time
            }
            readUpTo_ += line.size() + 1;
            if (line.rfind("in  ", 0) == 0 && line.substr(6, 2) == "11") {
                arrivals.push_back(now);
            }
        }
    }

    std::vector<SteadyTime::time_point> arrivals;

private:
    std::string path_;
    std::size_t readUpTo_ = 0;
};

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

TEST(ProgramOnANoisyLine, SweepsKeepTheirPaceAndTheCommunicationErrorComesOnceWithinTwoSeconds) {
    test::TemporaryDirectory dir;
    const std::string trace = (dir.path() / "trace.txt").string();
    test::SimulatorProcess simulator{{"--trace"}, trace};
    writePortFile(dir.path(), "COM 1");
    test::RunningProgram program(dir.path().string(), simulator.ptyPath());
    ASSERT_TRUE(
        test::waitUntil([&] { return test::countOf(test::receivedCodes(trace), 17) >= 2; }));

    StatusRequestWatch watch(trace);
    watch.poll();
    watch.arrivals.clear();
    ASSERT_EQ(simulator.command("silent on"), "ok silent on");
    ASSERT_EQ(simulator.command("stream 1000"), "ok stream 1000");
    const auto noiseFrom = SteadyTime::now();
    const auto audit = dir.file("audit.log");
    const std::string error = "the instrument stopped answering";
    std::optional<SteadyTime::time_point> errorAt;
    while (secondsBetween(noiseFrom, SteadyTime::now()) < 9) {
        std::this_thread::sleep_for(10ms);
        watch.poll();
        if (!errorAt && test::readBytes(audit).find(error) != std::string::npos) {
            errorAt = SteadyTime::now();
        }
    }
    ASSERT_TRUE(program.running());

    ASSERT_TRUE(errorAt.has_value()) << "no communication error after 9 s of noise";
    const double errorAfter = secondsBetween(noiseFrom, *errorAt);
    // Two seconds after the last status word, which came at most one sweep before the noise.
    EXPECT_LT(errorAfter, 3.5);
    EXPECT_EQ(occurrences(test::readBytes(audit), error), 1) << "raised once";

    ASSERT_GE(watch.arrivals.size(), 2u) << "the sweeps stopped";
    std::vector<double> periods;
    for (std::size_t i = 1; i < watch.arrivals.size(); ++i) {
        periods.push_back(secondsBetween(watch.arrivals[i - 1], watch.arrivals[i]));
    }
    const double mean =
        std::accumulate(periods.begin(), periods.end(), 0.0) / static_cast<double>(periods.size());
    // 1.1 s on an idle machine; the bounds leave room for a loaded one.
    EXPECT_GT(mean, 0.9);
    EXPECT_LT(mean, 1.5);
    EXPECT_LT(*std::max_element(periods.begin(), periods.end()), 2.5);
    std::printf("noise to communication error %.2f s; sweep period mean %.2f s over %zu\n",
                errorAfter, mean, periods.size());
}

} // namespace
} // namespace kqvdr
