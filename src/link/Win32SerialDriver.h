#pragma once

#include "BufferedSerialDriver.h"
#include "PortDevices.h"
#include "PortRevival.h"
#include "SystemSteadyClock.h"

#include <string>

namespace kqvdr {

// The serial driver over a Windows communications port (\\.\COMn), opened for this program
// alone. The line runs at 9600 baud, 8 data bits, no parity, one stop bit, no flow control.
// Reads never block: the port's timeouts return whatever has arrived. A port that vanishes
// (a USB adapter pulled out: I/O errors twice running) is closed once, and from then on the
// port last commanded open is tried again about once a second, with the line it had, until it
// answers or the port is closed; meanwhile every read reports nothing and every write is
// dropped. A port that could not be opened at all is tried the same way.
class Win32SerialDriver final : public BufferedSerialDriver {
public:
    explicit Win32SerialDriver(PortDevices devices, const SteadyClock* clock = nullptr)
        : devices_(std::move(devices)), revival_(clock != nullptr ? *clock : systemClock_) {}
    ~Win32SerialDriver() override;

    Win32SerialDriver(const Win32SerialDriver&) = delete;
    Win32SerialDriver& operator=(const Win32SerialDriver&) = delete;

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
    bool deviceVanished() const { return !port_.empty() && handle_ == nullptr; }

    // The port's handle for inspecting its settings; null when none is usable.
    void* nativeHandle() const { return handle_; }

private:
    enum : std::int32_t { kOk = 0, kFailed = -1 };

    bool usable(std::int32_t channel) const { return channel == kChannel && handle_ != nullptr; }
    void fillBuffer(std::chrono::milliseconds wait) override;
    // Opens and sets up the device: the handle, or null with `failure` set.
    void* openDevice(const std::string& path, std::int32_t& failure) const;
    void reviveIfDue();
    void ioFailed();
    void closeDevice();

    SystemSteadyClock systemClock_;
    PortDevices devices_;
    PortRevival revival_;
    void* handle_ = nullptr; // a HANDLE; kept opaque so that this header needs no <windows.h>
    std::string port_;       // the port last commanded open, until it is closed
    std::string openPath_;
    LineSettings line_;
    std::int32_t receiveBufferSize_ = 0;
    std::int32_t transmitBufferSize_ = 0;
};

} // namespace kqvdr
