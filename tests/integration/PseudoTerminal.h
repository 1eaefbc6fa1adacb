#pragma once

#include <string>
#include <string_view>

namespace kqvdr::test {

// The instrument's end of a pseudo-terminal; the program's driver opens slavePath().
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    void write(std::string_view bytes);
    // Whatever arrives within the time limit.
    std::string read(int timeoutMs);
    void close();

private:
    int master_ = -1;
    std::string slavePath_;
};

} // namespace kqvdr::test
