#include "Win32SerialDriver.h"

#include "WideText.h"

#include <algorithm>
#include <thread>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX // keeps std::min and std::max usable
#endif
#include <windows.h>

namespace kqvdr {
namespace {

constexpr std::int32_t kBaudCode9600 = 9;

// A frame is at most 36 bytes; a write that cannot drain within this time is dropped, as a lost
// command shows up only as a missing reply anyway.
constexpr DWORD kWriteTimeoutMs = 200;

// ReadFile returns at once with whatever has arrived, possibly nothing.
constexpr COMMTIMEOUTS kNonBlocking{MAXDWORD, 0, 0, 0, kWriteTimeoutMs};

std::int32_t openFailure(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
        return kPortNotPresent;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        // A communications port held by another program answers "access denied".
        return kPortInUse;
    default:
        return -1;
    }
}

HANDLE native(void* handle) {
    return static_cast<HANDLE>(handle);
}

BYTE parityCode(std::int32_t parity) {
    switch (parity) {
    case 1:
        return ODDPARITY;
    case 2:
        return EVENPARITY;
    default:
        return NOPARITY;
    }
}

// One stop bit and no flow control of any kind: the instrument has no handshake lines. DTR and
// RTS stay raised for adapters that power themselves from them.
void setLine(DCB& dcb, std::int32_t dataBits, std::int32_t parity) {
    dcb.fBinary = TRUE;
    dcb.ByteSize = static_cast<BYTE>(dataBits);
    dcb.Parity = parityCode(parity);
    dcb.fParity = parity != 0 ? TRUE : FALSE;
    dcb.StopBits = ONESTOPBIT;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    // A line error must not stop every later read until it is cleared.
    dcb.fAbortOnError = FALSE;
}

} // namespace

Win32SerialDriver::~Win32SerialDriver() {
    closeDevice();
}

void* Win32SerialDriver::openDevice(const std::string& path, std::int32_t& failure) const {
    // No sharing: another program holding the port would steal replies.
    const HANDLE handle = ::CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure = openFailure(::GetLastError());
        return nullptr;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    // GetCommState fails on anything that is not a communications port (NUL, a file).
    if (!::GetCommState(handle, &dcb)) {
        ::CloseHandle(handle);
        failure = kPortNotSerial;
        return nullptr;
    }
    if (receiveBufferSize_ > 0 && transmitBufferSize_ > 0) {
        // Only a request: drivers may keep their own sizes.
        ::SetupComm(handle, static_cast<DWORD>(receiveBufferSize_),
                    static_cast<DWORD>(transmitBufferSize_));
    }
    dcb.BaudRate = CBR_9600;
    setLine(dcb, line_.dataBits, line_.parity);
    COMMTIMEOUTS timeouts = kNonBlocking;
    if (!::SetCommState(handle, &dcb) || !::SetCommTimeouts(handle, &timeouts)) {
        ::CloseHandle(handle);
        failure = kFailed;
        return nullptr;
    }
    ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    return handle;
}

std::int32_t Win32SerialDriver::OpenPort(std::int32_t channel, const std::string& port,
                                         std::int32_t, std::int32_t, std::int32_t baudCode,
                                         std::int32_t, std::int32_t receiveBufferSize,
                                         std::int32_t transmitBufferSize, std::int32_t) {
    const std::string path = devices_.devicePath(port);
    if (channel != kChannel || path.empty() || baudCode != kBaudCode9600) {
        return kFailed;
    }
    closeDevice();
    line_ = LineSettings{};
    receiveBufferSize_ = receiveBufferSize;
    transmitBufferSize_ = transmitBufferSize;
    // Commanded now, whether or not the device is there: it is tried again until it answers.
    port_ = port;
    std::int32_t failure = kFailed;
    void* handle = openDevice(path, failure);
    if (handle == nullptr) {
        revival_.lost();
        return failure;
    }
    handle_ = handle;
    openPath_ = path;
    revival_.reset();
    return kOk;
}

std::int32_t Win32SerialDriver::SetPortCharacteristics(std::int32_t channel, std::int32_t dataBits,
                                                       std::int32_t parity, std::int32_t,
                                                       std::int32_t, std::int32_t) {
    if (!usable(channel) || dataBits < 5 || dataBits > 8 || parity < 0 || parity > 2) {
        return kFailed;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(native(handle_), &dcb)) {
        return kFailed;
    }
    setLine(dcb, dataBits, parity);
    if (!::SetCommState(native(handle_), &dcb)) {
        return kFailed;
    }
    line_ = {dataBits, parity};
    return kOk;
}

std::int32_t Win32SerialDriver::ClosePort(std::int32_t channel) {
    if (channel != kChannel || port_.empty()) {
        return kFailed;
    }
    const bool closedCleanly = handle_ == nullptr || ::CloseHandle(native(handle_)) != 0;
    handle_ = nullptr;
    port_.clear();
    openPath_.clear();
    clearBuffer();
    revival_.reset();
    return closedCleanly ? kOk : kFailed;
}

std::int32_t Win32SerialDriver::WriteBlock(std::int32_t channel, std::int32_t length,
                                           const char* bytes) {
    reviveIfDue();
    if (!usable(channel) || length <= 0 || bytes == nullptr) {
        return kFailed;
    }
    DWORD written = 0;
    // The port's write timeout bounds this; a short count means the rest was dropped.
    if (!::WriteFile(native(handle_), bytes, static_cast<DWORD>(length), &written, nullptr)) {
        ioFailed();
        return kFailed;
    }
    revival_.succeeded();
    return static_cast<std::int32_t>(written);
}

// Waiting bytes stay where they are: after a bad frame the rest of the data is read on the
// next tick. What needs clearing is the port's line-error state (overrun, framing, parity).
std::int32_t Win32SerialDriver::ResetReceive(std::int32_t channel) {
    if (channel != kChannel || port_.empty()) {
        return kFailed;
    }
    if (handle_ != nullptr) {
        DWORD errors = 0;
        if (!::ClearCommError(native(handle_), &errors, nullptr)) {
            ioFailed();
        }
    }
    return kOk;
}

void Win32SerialDriver::WaitForReceive(std::chrono::milliseconds limit) {
    if (!bufferEmpty()) {
        return;
    }
    if (handle_ == nullptr) {
        std::this_thread::sleep_for(limit);
        return;
    }
    fillBuffer(limit);
}

void Win32SerialDriver::fillBuffer(std::chrono::milliseconds wait) {
    reviveIfDue();
    if (handle_ == nullptr) {
        return;
    }
    DWORD errors = 0;
    COMSTAT status{};
    // A vanished port fails here; a read on it may quietly report nothing instead.
    if (!::ClearCommError(native(handle_), &errors, &status)) {
        ioFailed();
        return;
    }
    DWORD wanted = std::min<DWORD>(status.cbInQue, static_cast<DWORD>(bufferSize()));
    const bool sleepOnPort = wanted == 0;
    if (sleepOnPort) {
        if (wait.count() <= 0) {
            return;
        }
        // Sleep on the port: the read returns at the first byte or when the limit is up.
        const auto limit = static_cast<DWORD>(std::clamp<long long>(wait.count(), 1, 60'000));
        COMMTIMEOUTS waiting{MAXDWORD, MAXDWORD, limit, 0, kWriteTimeoutMs};
        if (!::SetCommTimeouts(native(handle_), &waiting)) {
            ioFailed();
            return;
        }
        wanted = static_cast<DWORD>(bufferSize());
    }
    DWORD received = 0;
    const bool ok = ::ReadFile(native(handle_), startFill(), wanted, &received, nullptr) != 0;
    if (sleepOnPort && ok) {
        COMMTIMEOUTS timeouts = kNonBlocking;
        ::SetCommTimeouts(native(handle_), &timeouts);
    }
    if (!ok) {
        ioFailed();
        return;
    }
    filled(received);
    revival_.succeeded();
}

// A vanished device is closed once; retrying it at every call would report errors thousands of
// times a second. The port stays commanded, so that it is reopened when it comes back.
void Win32SerialDriver::ioFailed() {
    if (handle_ == nullptr || !revival_.failed()) {
        return;
    }
    ::CloseHandle(native(handle_));
    handle_ = nullptr;
    openPath_.clear();
    revival_.lost();
}

// Runs inside any tick, nested ones included: it opens no window and decides only from the port
// last commanded, so a second run before the first has finished finds a consistent state.
void Win32SerialDriver::reviveIfDue() {
    if (port_.empty() || handle_ != nullptr || !revival_.attemptDue()) {
        return;
    }
    const std::string path = devices_.devicePath(port_);
    std::int32_t failure = kFailed;
    void* handle = openDevice(path, failure);
    if (handle == nullptr) {
        return;
    }
    handle_ = handle;
    openPath_ = path;
    clearBuffer();
    revival_.reset();
}

void Win32SerialDriver::closeDevice() {
    if (handle_ != nullptr) {
        ::CloseHandle(native(handle_));
    }
    handle_ = nullptr;
    port_.clear();
    openPath_.clear();
    clearBuffer();
}

} // namespace kqvdr
