#pragma once

#include "BufferedSerialDriver.h"
#include "PortDevices.h"

#include <string>

namespace kqvdr {

// The serial driver over a POSIX terminal device (termios, non-blocking, poll). The line runs at
// 9600 baud, 8 data bits, no parity, one stop bit, no flow control. A device that vanishes
// (hang-up, I/O error) is closed once; until the port is closed and opened again every read
// reports nothing and every write is dropped.
class PosixSerialDriver final : public BufferedSerialDriver {
public:
    explicit PosixSerialDriver(PortDevices devices) : devices_(std::move(devices)) {}
    ~PosixSerialDriver() override;

    PosixSerialDriver(const PosixSerialDriver&) = delete;
    PosixSerialDriver& operator=(const PosixSerialDriver&) = delete;

    std::int32_t OpenPort(std::int32_t channel, std::int32_t portIndex, std::int32_t interruptLevel,
                          std::int32_t baseAddress, std::int32_t baudCode, std::int32_t flowControl,
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
    bool deviceVanished() const { return open_ && fd_ < 0; }

private:
    enum : std::int32_t { kOk = 0, kFailed = -1 };

    bool usable(std::int32_t channel) const { return channel == kChannel && fd_ >= 0; }
    void fillBuffer(std::chrono::milliseconds wait) override;
    void deviceLost();
    void closeDevice();

    PortDevices devices_;
    int fd_ = -1;
    bool open_ = false;
    std::string openPath_;
};

} // namespace kqvdr
