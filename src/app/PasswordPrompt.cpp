#include "PasswordPrompt.h"

#include <cstdio>
#include <iostream>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace kqvdr {
namespace {

// Echo off for as long as it lives, and back as it was afterwards, whatever happens between.
class EchoOff {
public:
    EchoOff() {
#ifdef _WIN32
        input_ = GetStdHandle(STD_INPUT_HANDLE);
        active_ = GetConsoleMode(input_, &saved_) != 0 &&
                  SetConsoleMode(input_, saved_ & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != 0;
#else
        active_ = tcgetattr(STDIN_FILENO, &saved_) == 0;
        if (active_) {
            termios quiet = saved_;
            quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
            active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
        }
#endif
    }
    ~EchoOff() {
        if (!active_) {
            return;
        }
#ifdef _WIN32
        SetConsoleMode(input_, saved_);
#else
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
#endif
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
#ifdef _WIN32
    HANDLE input_ = nullptr;
    DWORD saved_ = 0;
#else
    termios saved_{};
#endif
    bool active_ = false;
};

std::optional<std::string> lineFromInput() {
    std::string line;
    if (!std::getline(std::cin, line)) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace

bool standardInputIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

std::optional<std::string> readSecretLine(const char* prompt) {
    if (!standardInputIsTerminal()) {
        return lineFromInput();
    }
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    std::optional<std::string> line;
    {
        const EchoOff quiet;
        line = lineFromInput();
    }
    // The Enter that ended the line was not echoed either.
    std::fputs("\n", stderr);
    return line;
}

} // namespace kqvdr
