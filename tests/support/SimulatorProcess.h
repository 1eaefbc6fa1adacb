#pragma once

#include <string>
#include <vector>

namespace kqvdr::test {

// The stand-alone simulator as a child process: its pseudo-terminal path, and its control
// channel on standard input and output.
class SimulatorProcess {
public:
    // With a stderrPath, the simulator's standard error (its --trace lines) goes to that file.
    explicit SimulatorProcess(const std::vector<std::string>& arguments = {},
                              const std::string& stderrPath = {});
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    const std::string& ptyPath() const { return ptyPath_; }
    int pid() const { return pid_; }

    // Sends one control line and returns the answer line.
    std::string command(const std::string& line);

    // Closes standard input and waits for the exit status.
    int stop();

private:
    std::string readLine();

    int pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    std::string buffered_;
    std::string ptyPath_;
};

} // namespace kqvdr::test
