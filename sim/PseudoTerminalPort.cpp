#include "PseudoTerminalPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace kqvdr::sim {
namespace {

void makeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        ::tcsetattr(fd, TCSANOW, &settings);
    }
}

} // namespace

PseudoTerminalPort::PseudoTerminalPort() {
    open();
}

void PseudoTerminalPort::reopen() {
    close();
    error_.clear();
    open();
}

void PseudoTerminalPort::open() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error_ = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        close();
        return;
    }
    slavePath_ = ::ptsname(master_);
    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    makeRaw(master_);
    if (slave_ >= 0) {
        makeRaw(slave_);
    }
}

PseudoTerminalPort::~PseudoTerminalPort() {
    close();
}

std::string PseudoTerminalPort::readAvailable() {
    std::string data;
    if (master_ < 0) {
        return data;
    }
    char chunk[512];
    while (true) {
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        data.append(chunk, static_cast<std::size_t>(n));
    }
    return data;
}

void PseudoTerminalPort::write(std::string_view bytes) {
    pending_.append(bytes);
    flush();
}

void PseudoTerminalPort::flush() {
    while (master_ >= 0 && !pending_.empty()) {
        const ssize_t n = ::write(master_, pending_.data(), pending_.size());
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return; // the line is full; the rest goes when it drains
        }
        pending_.erase(0, static_cast<std::size_t>(n));
    }
}

void PseudoTerminalPort::close() {
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    pending_.clear();
}

} // namespace kqvdr::sim
