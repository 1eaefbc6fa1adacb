#pragma once

#include <string>
#include <string_view>

namespace kqvdr::sim {

// The instrument's end of a pseudo-terminal. The program opens slavePath() as its serial port.
// This end keeps its own handle on the slave so that the line does not hang up before the
// program has opened it; closing the port hangs up the line, as pulling the cable would.
class PseudoTerminalPort {
public:
    PseudoTerminalPort();
    ~PseudoTerminalPort();
    PseudoTerminalPort(const PseudoTerminalPort&) = delete;
    PseudoTerminalPort& operator=(const PseudoTerminalPort&) = delete;

    bool isOpen() const { return master_ >= 0; }
    const std::string& error() const { return error_; }
    const std::string& slavePath() const { return slavePath_; }
    int fd() const { return master_; }

    // Whatever the program has written, without waiting.
    std::string readAvailable();
    // Writes what the line takes now and keeps the rest for flush(); never blocks.
    void write(std::string_view bytes);
    void flush();
    bool hasPendingWrite() const { return !pending_.empty(); }

    void close();
    // A fresh pseudo-terminal in place of this one (a new slavePath()), as an adapter plugged
    // back in comes up as a new device node.
    void reopen();

private:
    void open();

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string pending_;
    std::string error_;
};

} // namespace kqvdr::sim
