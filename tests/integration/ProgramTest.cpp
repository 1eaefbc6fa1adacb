#include "PortFile.h"
#include "RunningProgram.h"
#include "SimulatorProcess.h"
#include "TemporaryDirectory.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using test::countOf;
using test::receivedCodes;
using test::RunningProgram;
using test::waitUntil;

class ProgramAgainstSimulator : public testing::Test {
protected:
    test::TemporaryDirectory dir;
    std::string trace = (dir.path() / "trace.txt").string();
    test::SimulatorProcess simulator{{"--trace"}, trace};

    void SetUp() override { writePortFile(dir.path(), "COM 1"); }

    bool auditHolds(const std::string& text) const {
        return test::readBytes(dir.file("audit.log")).find(text) != std::string::npos;
    }
    bool sweepsSince(std::size_t from, int sweeps) const {
        return countOf(receivedCodes(trace), 17, from) >= sweeps;
    }
};

constexpr const char* kCommunicationErrorAudit = "the instrument stopped answering";

TEST_F(ProgramAgainstSimulator, StartsWithMethodsVapourAndResolutionThenSweeps) {
    RunningProgram program(dir.path().string(), simulator.ptyPath());
    EXPECT_TRUE(waitUntil([&] { return sweepsSince(0, 2) || !program.running(); }));
    ASSERT_TRUE(program.running());
    const auto codes = receivedCodes(trace);
    ASSERT_GE(codes.size(), 3u + 14u);
    EXPECT_EQ((std::vector<int>(codes.begin(), codes.begin() + 3)), (std::vector<int>{30, 33, 35}));
    EXPECT_EQ(codes[3], 17) << "a sweep starts with the status request";
}

TEST_F(ProgramAgainstSimulator, KeepsPollingInsideAFaultDialogAndAfterTheLineFallsSilent) {
    RunningProgram program(dir.path().string(), simulator.ptyPath());
    ASSERT_TRUE(waitUntil([&] { return sweepsSince(0, 1); }));
    EXPECT_EQ(simulator.command("fault FAN"), "ok fault FAN");
    // In the error mode the fault word is asked for on every tick, also while its dialog is
    // open and nobody answers it.
    EXPECT_TRUE(waitUntil([&] { return countOf(receivedCodes(trace), 32) >= 15; }));

    simulator.command("silent on");
    ASSERT_TRUE(waitUntil([&] { return auditHolds(kCommunicationErrorAudit); }));
    const std::size_t afterMessage = receivedCodes(trace).size();
    EXPECT_TRUE(waitUntil([&] { return sweepsSince(afterMessage, 2); }))
        << "sweeps go on behind the message";
    EXPECT_TRUE(program.running()) << "the communication error does not end the program";
}

TEST_F(ProgramAgainstSimulator, VanishedInstrumentDoesNotEndTheProgram) {
    RunningProgram program(dir.path().string(), simulator.ptyPath());
    ASSERT_TRUE(waitUntil([&] { return sweepsSince(0, 1); }));
    simulator.stop();
    EXPECT_TRUE(waitUntil([&] { return auditHolds(kCommunicationErrorAudit); }));
    EXPECT_TRUE(program.running());
}

TEST_F(ProgramAgainstSimulator, AFreshDirGetsTheSuppliedMethodFilesButKeepsTheUsersOwn) {
    const std::filesystem::path programDir =
        std::filesystem::path(KQVDR_PROGRAM_PATH).parent_path();
    test::writeBytes(dir.file("Test.mtd"), "the user's own");
    RunningProgram program(dir.path().string(), simulator.ptyPath());
    // The files are in place before the program first polls.
    ASSERT_TRUE(waitUntil([&] { return sweepsSince(0, 1); }));
    ASSERT_TRUE(program.running());
    EXPECT_EQ(test::readBytes(dir.file("Test.mtd")), "the user's own");
    for (const char* supplied : {"Default.mtd", "mDefault.mtd", "mTest.mtd"}) {
        EXPECT_EQ(test::readBytes(dir.file(supplied)), test::readBytes(programDir / supplied))
            << supplied;
    }
}

// What --verify-audit prints, and its exit code.
std::pair<std::string, int> verifyAudit(const std::filesystem::path& file) {
    const std::string command =
        std::string(KQVDR_PROGRAM_PATH) + " --verify-audit '" + file.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[256];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST_F(ProgramAgainstSimulator, TheAuditTrailOfARunVerifiesAndAnEditIsFound) {
    {
        RunningProgram program(dir.path().string(), simulator.ptyPath());
        ASSERT_TRUE(waitUntil([&] { return auditHolds("\tport opened\tCOM 1\t"); }));
        ASSERT_TRUE(program.running());
    }
    const std::filesystem::path audit = dir.file("audit.log");
    const std::string bytes = test::readBytes(audit);
    EXPECT_NE(bytes.find("\tprogram started\t"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\tport opened\tCOM 1\t"), std::string::npos) << bytes;
    const auto [intact, intactCode] = verifyAudit(audit);
    EXPECT_EQ(intactCode, 0) << intact;
    EXPECT_NE(intact.find("chain intact"), std::string::npos) << intact;

    std::string edited = bytes;
    edited.replace(edited.find("COM 1"), 5, "COM 2");
    test::writeBytes(audit, edited);
    const auto [broken, brokenCode] = verifyAudit(audit);
    EXPECT_EQ(brokenCode, 1) << broken;
    EXPECT_NE(broken.find("chain broken at line 2"), std::string::npos) << broken;
    EXPECT_EQ(verifyAudit(dir.file("missing.log")).second, 2);
}

} // namespace
} // namespace kqvdr
