#include "PortFile.h"
#include "SimulatorProcess.h"
#include "TemporaryDirectory.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#ifndef KQVDR_PROGRAM_PATH
#error "KQVDR_PROGRAM_PATH must name the kqvdr1000-control executable"
#endif

namespace kqvdr {
namespace {

using namespace std::chrono_literals;

// The real program on the offscreen platform, connected to the simulator program.
class RunningProgram {
public:
    RunningProgram(const std::string& dir, const std::string& device) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDERR_FILENO);
            ::execl(KQVDR_PROGRAM_PATH, KQVDR_PROGRAM_PATH, "--dir", dir.c_str(), "--device",
                    device.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~RunningProgram() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool running() const { return ::waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

// Command codes of the frames the simulator received, from its trace.
std::vector<int> receivedCodes(const std::string& tracePath) {
    std::ifstream in(tracePath);
    std::vector<int> codes;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("in  ", 0) == 0 && line.size() >= 8) {
            codes.push_back(std::stoi(line.substr(6, 2), nullptr, 16));
        }
    }
    return codes;
}

int count(const std::vector<int>& codes, int code, std::size_t from = 0) {
    int n = 0;
    for (std::size_t i = from; i < codes.size(); ++i) {
        n += codes[i] == code ? 1 : 0;
    }
    return n;
}

class ProgramAgainstSimulator : public testing::Test {
protected:
    test::TemporaryDirectory dir;
    std::string trace = (dir.path() / "trace.txt").string();
    test::SimulatorProcess simulator{{"--trace"}, trace};

    void SetUp() override { writePortFile(dir.path(), "COM 1"); }
};

TEST_F(ProgramAgainstSimulator, StartsWithMethodsVapourAndResolutionThenSweeps) {
    RunningProgram program(dir.path().string(), simulator.ptyPath());
    std::this_thread::sleep_for(4s);
    ASSERT_TRUE(program.running());
    const auto codes = receivedCodes(trace);
    ASSERT_GE(codes.size(), 3u + 14u);
    EXPECT_EQ((std::vector<int>(codes.begin(), codes.begin() + 3)), (std::vector<int>{30, 33, 35}));
    EXPECT_GE(count(codes, 17), 2) << "sweeps follow, about one a second";
    EXPECT_EQ(codes[3], 17) << "a sweep starts with the status request";
}

TEST_F(ProgramAgainstSimulator, KeepsPollingInsideAFaultDialogAndAfterTheLineFallsSilent) {
    RunningProgram program(dir.path().string(), simulator.ptyPath());
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(simulator.command("fault FAN"), "ok fault FAN");
    std::this_thread::sleep_for(3s);
    auto codes = receivedCodes(trace);
    // In the error mode the fault word is asked for on every tick, also while its dialog is
    // open and nobody answers it.
    EXPECT_GE(count(codes, 32), 15);
    const std::size_t beforeSilence = codes.size();

    simulator.command("silent on");
    std::this_thread::sleep_for(5s);
    ASSERT_TRUE(program.running()) << "the communication error does not end the program";
    codes = receivedCodes(trace);
    EXPECT_GE(count(codes, 17, beforeSilence), 3) << "sweeps go on behind the message";
}

TEST_F(ProgramAgainstSimulator, VanishedInstrumentDoesNotEndTheProgram) {
    RunningProgram program(dir.path().string(), simulator.ptyPath());
    std::this_thread::sleep_for(2s);
    simulator.stop();
    std::this_thread::sleep_for(4s);
    EXPECT_TRUE(program.running());
}

TEST_F(ProgramAgainstSimulator, AFreshDirGetsTheSuppliedMethodFilesButKeepsTheUsersOwn) {
    const std::filesystem::path programDir =
        std::filesystem::path(KQVDR_PROGRAM_PATH).parent_path();
    test::writeBytes(dir.file("Test.mtd"), "the user's own");
    RunningProgram program(dir.path().string(), simulator.ptyPath());
    std::this_thread::sleep_for(2s);
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
        std::this_thread::sleep_for(2s);
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
