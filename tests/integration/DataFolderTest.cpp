// One program per data folder, with real programs on real folders against the simulator.
#include "DataFolderLock.h"
#include "OperatingSystemUser.h"
#include "PortFile.h"
#include "RunningProgram.h"
#include "SimulatorProcess.h"
#include "TemporaryDirectory.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace kqvdr {
namespace {

using test::countOf;
using test::receivedCodes;
using test::RunningProgram;
using test::waitUntil;

constexpr int kStatusRequest = 17;

struct Finished {
    int exitCode = -1;
    std::string errorOutput;
};

// The program run to its end, with its standard error kept.
Finished runToEnd(const std::vector<std::string>& arguments, const std::filesystem::path& errors) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        test::becomeProgram(arguments, ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readBytes(errors)};
}

class DataFolder : public testing::Test {
protected:
    test::TemporaryDirectory dir;
    test::TemporaryDirectory scratch;
    std::string trace = (scratch.path() / "trace.txt").string();
    test::SimulatorProcess simulator{{"--trace"}, trace};

    void SetUp() override { writePortFile(dir.path(), "COM 1"); }

    std::string audit() const { return test::readBytes(dir.file("audit.log")); }
    bool sweeps(const std::string& tracePath, int count) const {
        return countOf(receivedCodes(tracePath), kStatusRequest) >= count;
    }
    Finished verifyAudit() const {
        return runToEnd({"--verify-audit", dir.file("audit.log").string()},
                        scratch.file("verify.txt"));
    }
};

TEST_F(DataFolder, ASecondProgramIsRefusedWritesNothingAndTheTrailVerifiesAfterwards) {
    {
        RunningProgram first(dir.path().string(), simulator.ptyPath());
        ASSERT_TRUE(waitUntil([&] { return sweeps(trace, 2) || !first.running(); }));
        ASSERT_TRUE(first.running());
        const std::string trailBefore = audit();
        ASSERT_NE(trailBefore.find("\tprogram started\t"), std::string::npos);

        for (int attempt = 0; attempt < 2; ++attempt) {
            const Finished second =
                runToEnd({"--dir", dir.path().string(), "--device", simulator.ptyPath()},
                         scratch.file("second.txt"));
            EXPECT_EQ(second.exitCode, 1);
            EXPECT_NE(second.errorOutput.find(
                          "KQ-VDR1000 Control is already running for this data folder."),
                      std::string::npos)
                << second.errorOutput;
            EXPECT_NE(second.errorOutput.find("process " + std::to_string(first.pid())),
                      std::string::npos)
                << second.errorOutput;
        }
        EXPECT_EQ(audit().substr(0, trailBefore.size()), trailBefore);
        EXPECT_EQ(audit().find("\tprogram started\t", trailBefore.size()), std::string::npos)
            << "the refused programs wrote nothing into the trail";

        // Reading needs no lock: the trail is verified while its program runs.
        EXPECT_EQ(verifyAudit().exitCode, 0) << test::readBytes(scratch.file("verify.txt"));
        const std::size_t before = receivedCodes(trace).size();
        EXPECT_TRUE(waitUntil([&] {
            return countOf(receivedCodes(trace), kStatusRequest, before) >= 2;
        })) << "the first program polls on";
        EXPECT_TRUE(first.running());
    }
    EXPECT_EQ(verifyAudit().exitCode, 0) << test::readBytes(scratch.file("verify.txt")) << audit();
}

TEST_F(DataFolder, ALockLeftByAKilledProgramIsTakenOverAtTheNextStart) {
    {
        RunningProgram killed(dir.path().string(), simulator.ptyPath());
        ASSERT_TRUE(waitUntil([&] { return sweeps(trace, 1) || !killed.running(); }));
        ::kill(killed.pid(), SIGKILL); // as a power cut would end it
    }
    ASSERT_TRUE(std::filesystem::exists(dir.file(kDataFolderLockFile)));
    const std::size_t before = receivedCodes(trace).size();
    RunningProgram next(dir.path().string(), simulator.ptyPath());
    EXPECT_TRUE(waitUntil([&] {
        return countOf(receivedCodes(trace), kStatusRequest, before) >= 2 || !next.running();
    }));
    EXPECT_TRUE(next.running());
}

TEST_F(DataFolder, TwoProgramsOnTwoFoldersWithTwoInstrumentsBothPoll) {
    test::TemporaryDirectory otherDir;
    writePortFile(otherDir.path(), "COM 1");
    const std::string otherTrace = (scratch.path() / "other-trace.txt").string();
    test::SimulatorProcess otherSimulator{{"--trace"}, otherTrace};

    RunningProgram first(dir.path().string(), simulator.ptyPath());
    RunningProgram second(otherDir.path().string(), otherSimulator.ptyPath());
    EXPECT_TRUE(waitUntil([&] {
        return (sweeps(trace, 3) && sweeps(otherTrace, 3)) || !first.running() || !second.running();
    }));
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(second.running());
    EXPECT_NE(audit().find("\tprogram started\t"), std::string::npos);
    EXPECT_NE(test::readBytes(otherDir.file("audit.log")).find("\tprogram started\t"),
              std::string::npos);
}

TEST_F(DataFolder, TheTrailNamesTheAccountNotWhatTheEnvironmentClaims) {
    const std::string account = operatingSystemUser();
    ASSERT_NE(account, "mallory");
    const char* const names[] = {"USER", "USERNAME", "LOGNAME"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        ::setenv(name, "mallory", 1); // inherited by the program
    }
    {
        RunningProgram program(dir.path().string(), simulator.ptyPath());
        EXPECT_TRUE(waitUntil([&] { return sweeps(trace, 1) || !program.running(); }));
    }
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (saved[i]) {
            ::setenv(names[i], saved[i]->c_str(), 1);
        } else {
            ::unsetenv(names[i]);
        }
    }
    const std::string trail = audit();
    EXPECT_EQ(trail.find("mallory"), std::string::npos) << trail;
    EXPECT_NE(trail.find("\t" + account + "\tprogram started\t"), std::string::npos) << trail;
}

} // namespace
} // namespace kqvdr
