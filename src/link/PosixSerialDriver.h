#pragma once

#include "BufferedSerialDriver.h"
#include "PortDevices.h"
#include "PortRevival.h"
#include "SystemSteadyClock.h"

#include <string>

namespace kqvdr {

// The serial driver over a POSIX terminal device (termios, non-blocking, poll). The line runs at
// 9600 baud, 8 data bits, no parity, one stop bit, no flow control. A device that vanishes
// (hang-up, I/O errors twice running) is closed once, and from then on the port last commanded
// open is tried again about once a second, with the line it had, until it answers or the port
// is closed; meanwhile every read reports nothing and every write is dropped. A port that could
// not be opened at all is tried the same way: an adapter plugged in later is found.
class PosixSerialDriver final : public BufferedSerialDriver {
public:
    explicit PosixSerialDriver(PortDevices devices, const SteadyClock* clock = nullptr)
        : devices_(std::move(devices)), revival_(clock != nullptr ? *clock : systemClock_) {}
    ~PosixSerialDriver() override;

    PosixSerialDriver(const PosixSerialDriver&) = delete;
    PosixSerialDriver& operator=(const PosixSerialDriver&) = delete;

    std::int32_t OpenPort(std::int32_t channel, const std::string& port,
                          std::int32_t interruptLevel, std::int32_t baseAddress,
                          std::int32_t baudCode, std::int32_t flowControl,
                          std::int32_t receiveBufferSize, std::int32_t transmitBufferSize,
                          std::int32_t options) override;
    std::int32_t SetPortCharacteristics(std::int32_t channel, std::int32_t dataBits,
                                        std::int32_t parity, std::int32_t stopBitsCode,
                                        std::int32_t breakCode,
                                        std::int32_t handshakeCode) override;
    std::int32_t ClosePort(std::int32_t channel) override;
    std::int32_t WriteBlock(std::int32_t channel, std::int32_t length, const char* bytes) override;
    std::int32_t ResetReceive(std::int32_t channel) override;

    void WaitForReceive(std::chrono::milliseconds limit) override;

    // The device behind the open port, for messages; empty when none is open.
    const std::string& devicePath() const { return openPath_; }
    // A port is commanded open but its device is not: gone, or not there yet.
    bool deviceVanished() const { return !port_.empty() && fd_ < 0; }

private:
    enum : std::int32_t { kOk = 0, kFailed = -1 };

    bool usable(std::int32_t channel) const { return channel == kChannel && fd_ >= 0; }
    void fillBuffer(std::chrono::milliseconds wait) override;
    // Opens and sets up the device; the descriptor, or an OpenPortFailure.
    int openDevice(const std::string& path) const;
    void reviveIfDue();
    void ioFailed();
    void closeDevice();

    SystemSteadyClock systemClock_;
    PortDevices devices_;
    PortRevival revival_;
    int fd_ = -1;
    std::string port_; // the port last commanded open, until it is closed
    std::string openPath_;
    LineSettings line_;
};

} // namespace kqvdr
