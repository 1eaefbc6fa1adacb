// kqvdr1000-sim: a KQ-VDR 1000 on a pseudo-terminal, steered from standard input.
#include "PseudoTerminalPort.h"
#include "SimulatedInstrument.h"
#include "SimulatorCommandLine.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace {

using namespace kqvdr::sim;

double secondsNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void answer(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Splits standard input into lines and runs each; false once input has closed or quit was asked.
bool serveControl(SimulatedInstrument& instrument, std::string& partial) {
    char chunk[512];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) {
        return n < 0 && errno == EINTR;
    }
    partial.append(chunk, static_cast<std::size_t>(n));
    for (std::size_t end; (end = partial.find('\n')) != std::string::npos;) {
        std::string line = partial.substr(0, end);
        partial.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        answer(instrument.control(line, secondsNow()));
        if (instrument.quitRequested()) {
            return false;
        }
    }
    return true;
}

int pollTimeout(const SimulatedInstrument& instrument, const PseudoTerminalPort& port) {
    if (port.hasPendingWrite()) {
        return 10;
    }
    const auto due = instrument.nextOutputDue();
    if (!due) {
        return -1; // the physics catches up whenever a frame or command arrives
    }
    return std::max(0, static_cast<int>(std::ceil((*due - secondsNow()) * 1000)));
}

} // namespace

int main(int argc, char* argv[]) {
    const auto line = parseSimulatorCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.showHelp) {
        std::fputs(simulatorUsage().c_str(), stdout);
        return 0;
    }
    if (!line.error.empty()) {
        std::fprintf(stderr, "kqvdr1000-sim: %s\n\n%s", line.error.c_str(),
                     simulatorUsage().c_str());
        return 2;
    }

    PseudoTerminalPort port;
    if (!port.isOpen()) {
        std::fprintf(stderr, "kqvdr1000-sim: %s\n", port.error().c_str());
        return 1;
    }
    SimulatedInstrument instrument(line.options);
    if (line.options.trace) {
        instrument.traceSink = [](const std::string& text) {
            std::fprintf(stderr, "%s\n", text.c_str());
        };
    }
    answer("PTY " + port.slavePath());

    std::string partial;
    while (true) {
        pollfd fds[2] = {
            {STDIN_FILENO, POLLIN, 0},
            {port.fd(), static_cast<short>(POLLIN | (port.hasPendingWrite() ? POLLOUT : 0)), 0}};
        if (::poll(fds, 2, pollTimeout(instrument, port)) < 0 && errno != EINTR) {
            break;
        }
        const double now = secondsNow();
        if (fds[1].revents & POLLIN) {
            instrument.receive(port.readAvailable(), now);
        }
        port.write(instrument.takeOutput(now));
        if ((fds[0].revents & (POLLIN | POLLHUP)) && !serveControl(instrument, partial)) {
            break;
        }
    }
    port.close();
    return 0;
}
