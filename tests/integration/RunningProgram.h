#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef KQVDR_PROGRAM_PATH
#error "KQVDR_PROGRAM_PATH must name the kqvdr1000-control executable"
#endif

namespace kqvdr::test {

// In a forked child: becomes the program on the offscreen platform, its standard error going
// to `errors`.
[[noreturn]] inline void becomeProgram(const std::vector<std::string>& arguments, int errors) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::dup2(errors, STDERR_FILENO);
    std::vector<char*> argv{const_cast<char*>(KQVDR_PROGRAM_PATH)};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(KQVDR_PROGRAM_PATH, argv.data());
    ::_exit(127);
}

// The real program, connected to a device (normally the simulator).
class RunningProgram {
public:
    RunningProgram(const std::string& dir, const std::string& device) {
        pid_ = ::fork();
        if (pid_ == 0) {
            becomeProgram({"--dir", dir, "--device", device}, ::open("/dev/null", O_WRONLY));
        }
    }
    ~RunningProgram() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool running() const { return ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

// Command codes of the frames the simulator received, from its trace.
inline std::vector<int> receivedCodes(const std::string& tracePath) {
    std::ifstream in(tracePath);
    std::vector<int> codes;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("in  ", 0) == 0 && line.size() >= 8) {
            codes.push_back(std::stoi(line.substr(6, 2), nullptr, 16));
        }
    }
    return codes;
}

inline int countOf(const std::vector<int>& codes, int code, std::size_t from = 0) {
    int n = 0;
    for (std::size_t i = from; i < codes.size(); ++i) {
        n += codes[i] == code ? 1 : 0;
    }
    return n;
}

// Polls until `done` holds or the time is up; true when it held. The limits are generous: what
// is waited for is an event, and a loaded machine may take far longer than usual.
inline bool waitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace kqvdr::test
