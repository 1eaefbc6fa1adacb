#include "SimulatorProcess.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#ifndef KQVDR_SIM_PATH
#error "KQVDR_SIM_PATH must name the kqvdr1000-sim executable"
#endif

namespace kqvdr::test {

SimulatorProcess::SimulatorProcess(const std::vector<std::string>& arguments,
                                   const std::string& stderrPath) {
    int in[2];
    int out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        if (!stderrPath.empty()) {
            const int err = ::open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(err, STDERR_FILENO);
        }
        ::close(in[1]);
        ::close(out[0]);
        std::vector<char*> argv;
        std::string program = KQVDR_SIM_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = arguments;
        for (auto& argument : copies) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
    const std::string first = readLine();
    if (first.rfind("PTY ", 0) != 0) {
        throw std::runtime_error("simulator did not announce its pseudo-terminal: " + first);
    }
    ptyPath_ = first.substr(4);
}

SimulatorProcess::~SimulatorProcess() {
    if (pid_ > 0) {
        stop();
    }
}

std::string SimulatorProcess::readLine() {
    while (true) {
        const auto end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        pollfd ready{fromChild_, POLLIN, 0};
        if (::poll(&ready, 1, 5000) <= 0) {
            throw std::runtime_error("simulator did not answer");
        }
        char chunk[512];
        const ssize_t n = ::read(fromChild_, chunk, sizeof chunk);
        if (n <= 0) {
            throw std::runtime_error("simulator closed its output");
        }
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
}

std::string SimulatorProcess::command(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(toChild_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        throw std::runtime_error("cannot write to the simulator");
    }
    return readLine();
}

int SimulatorProcess::stop() {
    if (pid_ <= 0) {
        return -1;
    }
    ::close(toChild_);
    int status = 0;
    for (int i = 0; i < 500 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) {
        ::usleep(10000);
    }
    if (::waitpid(pid_, &status, WNOHANG) == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
    ::close(fromChild_);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace kqvdr::test
