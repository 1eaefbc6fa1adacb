#include "PosixSerialDriver.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace kqvdr {
namespace {

constexpr std::int32_t kBaudCode9600 = 9;

// A frame is at most 36 bytes; a write that cannot drain within this time is dropped, as a lost
// command shows up only as a missing reply anyway.
constexpr int kWriteTimeoutMs = 200;

tcflag_t characterSize(std::int32_t dataBits) {
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

} // namespace

PosixSerialDriver::~PosixSerialDriver() {
    closeDevice();
}

std::int32_t PosixSerialDriver::OpenPort(std::int32_t channel, std::int32_t portIndex, std::int32_t,
                                         std::int32_t, std::int32_t baudCode, std::int32_t,
                                         std::int32_t, std::int32_t, std::int32_t) {
    const std::string path = devices_.devicePath(portIndex);
    if (channel != kChannel || path.empty() || baudCode != kBaudCode9600) {
        return kFailed;
    }
    closeDevice();
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return kFailed;
    }
    termios settings{};
    // Another program holding the port would steal replies; refuse to share it.
    if (::tcgetattr(fd, &settings) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return kFailed;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) {
        ::close(fd);
        return kFailed;
    }
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    open_ = true;
    openPath_ = path;
    clearBuffer();
    return kOk;
}

std::int32_t PosixSerialDriver::SetPortCharacteristics(std::int32_t channel, std::int32_t dataBits,
                                                       std::int32_t parity, std::int32_t,
                                                       std::int32_t, std::int32_t) {
    if (!usable(channel) || dataBits < 5 || dataBits > 8 || parity < 0 || parity > 2) {
        return kFailed;
    }
    termios settings{};
    if (::tcgetattr(fd_, &settings) != 0) {
        return kFailed;
    }
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    settings.c_cflag |= characterSize(dataBits);
    if (parity != 0) {
        settings.c_cflag |= PARENB | (parity == 1 ? PARODD : 0);
    }
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    return ::tcsetattr(fd_, TCSANOW, &settings) == 0 ? kOk : kFailed;
}

std::int32_t PosixSerialDriver::ClosePort(std::int32_t channel) {
    if (channel != kChannel || !open_) {
        return kFailed;
    }
    const bool closedCleanly = fd_ < 0 || ::close(fd_) == 0;
    fd_ = -1;
    open_ = false;
    openPath_.clear();
    clearBuffer();
    return closedCleanly ? kOk : kFailed;
}

std::int32_t PosixSerialDriver::WriteBlock(std::int32_t channel, std::int32_t length,
                                           const char* bytes) {
    if (!usable(channel) || length <= 0 || bytes == nullptr) {
        return kFailed;
    }
    std::size_t written = 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (written < static_cast<std::size_t>(length)) {
        const ssize_t n = ::write(fd_, bytes + written, static_cast<std::size_t>(length) - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            deviceLost();
            return kFailed;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd wait{fd_, POLLOUT, 0};
        ::poll(&wait, 1, static_cast<int>(left.count()));
    }
    return static_cast<std::int32_t>(written);
}

// Waiting bytes stay where they are: after a bad frame the rest of the data is read on the
// next tick. Only a line error state would need clearing here, and termios keeps none.
std::int32_t PosixSerialDriver::ResetReceive(std::int32_t channel) {
    return channel == kChannel && open_ ? kOk : kFailed;
}

void PosixSerialDriver::WaitForReceive(std::chrono::milliseconds limit) {
    if (!bufferEmpty()) {
        return;
    }
    if (fd_ < 0) {
        std::this_thread::sleep_for(limit);
        return;
    }
    fillBuffer(limit);
}

void PosixSerialDriver::fillBuffer(std::chrono::milliseconds wait) {
    if (fd_ < 0) {
        return;
    }
    pollfd ready{fd_, POLLIN, 0};
    const int events = ::poll(&ready, 1, static_cast<int>(wait.count()));
    if (events <= 0) {
        return;
    }
    if ((ready.revents & POLLIN) == 0) {
        if (ready.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            deviceLost();
        }
        return;
    }
    const ssize_t n = ::read(fd_, startFill(), bufferSize());
    if (n > 0) {
        filled(static_cast<std::size_t>(n));
    } else if ((n < 0 && errno != EAGAIN && errno != EINTR) ||
               (n == 0 && (ready.revents & POLLHUP))) {
        deviceLost();
    }
}

// A vanished device is closed once; retrying it would report errors thousands of times a second.
void PosixSerialDriver::deviceLost() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void PosixSerialDriver::closeDevice() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    open_ = false;
    openPath_.clear();
    clearBuffer();
}

} // namespace kqvdr
