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

std::int32_t openFailure(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return kPortNotPresent;
    case EACCES:
    case EPERM:
        return kPortNotAllowed;
    case EBUSY:
    case EWOULDBLOCK:
        return kPortInUse;
    case ENOTTY:
    case EISDIR:
        return kPortNotSerial;
    default:
        return -1;
    }
}

bool applyLine(int fd, const LineSettings& line) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        return false;
    }
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    settings.c_cflag |= characterSize(line.dataBits);
    if (line.parity != 0) {
        settings.c_cflag |= PARENB | (line.parity == 1 ? PARODD : 0);
    }
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

PosixSerialDriver::~PosixSerialDriver() {
    closeDevice();
}

int PosixSerialDriver::openDevice(const std::string& path) const {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return openFailure(errno);
    }
    termios settings{};
    // Another program holding the port would steal replies; refuse to share it.
    if (::tcgetattr(fd, &settings) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return openFailure(error == EINVAL ? ENOTTY : error);
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0 || !applyLine(fd, line_)) {
        ::close(fd);
        return kFailed;
    }
    ::tcflush(fd, TCIOFLUSH);
    return fd;
}

std::int32_t PosixSerialDriver::OpenPort(std::int32_t channel, const std::string& port,
                                         std::int32_t, std::int32_t, std::int32_t baudCode,
                                         std::int32_t, std::int32_t, std::int32_t, std::int32_t) {
    const std::string path = devices_.devicePath(port);
    if (channel != kChannel || path.empty() || baudCode != kBaudCode9600) {
        return kFailed;
    }
    closeDevice();
    line_ = LineSettings{};
    // Commanded now, whether or not the device is there: it is tried again until it answers.
    port_ = port;
    const int fd = openDevice(path);
    if (fd < 0) {
        revival_.lost();
        return fd;
    }
    fd_ = fd;
    openPath_ = path;
    revival_.reset();
    return kOk;
}

std::int32_t PosixSerialDriver::SetPortCharacteristics(std::int32_t channel, std::int32_t dataBits,
                                                       std::int32_t parity, std::int32_t,
                                                       std::int32_t, std::int32_t) {
    if (!usable(channel) || dataBits < 5 || dataBits > 8 || parity < 0 || parity > 2) {
        return kFailed;
    }
    if (!applyLine(fd_, {dataBits, parity})) {
        return kFailed;
    }
    line_ = {dataBits, parity};
    return kOk;
}

std::int32_t PosixSerialDriver::ClosePort(std::int32_t channel) {
    if (channel != kChannel || port_.empty()) {
        return kFailed;
    }
    const bool closedCleanly = fd_ < 0 || ::close(fd_) == 0;
    fd_ = -1;
    port_.clear();
    openPath_.clear();
    clearBuffer();
    revival_.reset();
    return closedCleanly ? kOk : kFailed;
}

std::int32_t PosixSerialDriver::WriteBlock(std::int32_t channel, std::int32_t length,
                                           const char* bytes) {
    reviveIfDue();
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
            ioFailed();
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
    revival_.succeeded();
    return static_cast<std::int32_t>(written);
}

// Waiting bytes stay where they are: after a bad frame the rest of the data is read on the
// next tick. Only a line error state would need clearing here, and termios keeps none.
std::int32_t PosixSerialDriver::ResetReceive(std::int32_t channel) {
    return channel == kChannel && !port_.empty() ? kOk : kFailed;
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
    reviveIfDue();
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
            ioFailed();
        }
        return;
    }
    const ssize_t n = ::read(fd_, startFill(), bufferSize());
    if (n > 0) {
        filled(static_cast<std::size_t>(n));
        revival_.succeeded();
    } else if ((n < 0 && errno != EAGAIN && errno != EINTR) ||
               (n == 0 && (ready.revents & POLLHUP))) {
        ioFailed();
    }
}

// A vanished device is closed once; retrying it at every call would report errors thousands of
// times a second. The port stays commanded, so that it is reopened when it comes back.
void PosixSerialDriver::ioFailed() {
    if (fd_ < 0 || !revival_.failed()) {
        return;
    }
    ::close(fd_);
    fd_ = -1;
    openPath_.clear();
    revival_.lost();
}

// Runs inside any tick, nested ones included: it opens no window and decides only from the port
// last commanded, so a second run before the first has finished finds a consistent state.
void PosixSerialDriver::reviveIfDue() {
    if (port_.empty() || fd_ >= 0 || !revival_.attemptDue()) {
        return;
    }
    const std::string path = devices_.devicePath(port_);
    const int fd = openDevice(path);
    if (fd < 0) {
        return;
    }
    fd_ = fd;
    openPath_ = path;
    clearBuffer();
    revival_.reset();
}

void PosixSerialDriver::closeDevice() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
    port_.clear();
    openPath_.clear();
    clearBuffer();
}

} // namespace kqvdr
