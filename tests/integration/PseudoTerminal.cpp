#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kqvdr::test {

PseudoTerminal::PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        throw std::runtime_error("cannot create a pseudo-terminal");
    }
    slavePath_ = ::ptsname(master_);
    // Raw on this side too, so that no byte is translated on its way.
    termios settings{};
    ::tcgetattr(master_, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(master_, TCSANOW, &settings);
}

PseudoTerminal::~PseudoTerminal() {
    close();
}

void PseudoTerminal::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n <= 0) {
            throw std::runtime_error("pseudo-terminal write failed");
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::string PseudoTerminal::read(int timeoutMs) {
    std::string data;
    pollfd ready{master_, POLLIN, 0};
    while (::poll(&ready, 1, timeoutMs) > 0 && (ready.revents & POLLIN)) {
        char chunk[256];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        data.append(chunk, static_cast<std::size_t>(n));
        timeoutMs = 50;
    }
    return data;
}

void PseudoTerminal::close() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

} // namespace kqvdr::test
