#include "Win32SerialDriver.h"

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

HANDLE native(void* handle) {
    return static_cast<HANDLE>(handle);
}

std::wstring widen(const std::string& text) {
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    if (size > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                              size);
    }
    return wide;
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

std::int32_t Win32SerialDriver::OpenPort(std::int32_t channel, std::int32_t portIndex, std::int32_t,
                                         std::int32_t, std::int32_t baudCode, std::int32_t,
                                         std::int32_t receiveBufferSize,
                                         std::int32_t transmitBufferSize, std::int32_t) {
    const std::string path = devices_.devicePath(portIndex);
    if (channel != kChannel || path.empty() || baudCode != kBaudCode9600) {
        return kFailed;
    }
    closeDevice();
    // No sharing: another program holding the port would steal replies.
    const HANDLE handle = ::CreateFileW(widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return kFailed;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    // GetCommState fails on anything that is not a communications port (NUL, a file).
    bool ready = ::GetCommState(handle, &dcb) != 0;
    if (ready && receiveBufferSize > 0 && transmitBufferSize > 0) {
        // Only a request: drivers may keep their own sizes.
        ::SetupComm(handle, static_cast<DWORD>(receiveBufferSize),
                    static_cast<DWORD>(transmitBufferSize));
    }
    if (ready) {
        dcb.BaudRate = CBR_9600;
        setLine(dcb, 8, 0);
        COMMTIMEOUTS timeouts = kNonBlocking;
        ready = ::SetCommState(handle, &dcb) != 0 && ::SetCommTimeouts(handle, &timeouts) != 0;
    }
    if (!ready) {
        ::CloseHandle(handle);
        return kFailed;
    }
    ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    handle_ = handle;
    open_ = true;
    openPath_ = path;
    clearBuffer();
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
    return ::SetCommState(native(handle_), &dcb) ? kOk : kFailed;
}

std::int32_t Win32SerialDriver::ClosePort(std::int32_t channel) {
    if (channel != kChannel || !open_) {
        return kFailed;
    }
    const bool closedCleanly = handle_ == nullptr || ::CloseHandle(native(handle_)) != 0;
    handle_ = nullptr;
    open_ = false;
    openPath_.clear();
    clearBuffer();
    return closedCleanly ? kOk : kFailed;
}

std::int32_t Win32SerialDriver::WriteBlock(std::int32_t channel, std::int32_t length,
                                           const char* bytes) {
    if (!usable(channel) || length <= 0 || bytes == nullptr) {
        return kFailed;
    }
    DWORD written = 0;
    // The port's write timeout bounds this; a short count means the rest was dropped.
    if (!::WriteFile(native(handle_), bytes, static_cast<DWORD>(length), &written, nullptr)) {
        deviceLost();
        return kFailed;
    }
    return static_cast<std::int32_t>(written);
}

// Waiting bytes stay where they are: after a bad frame the rest of the data is read on the
// next tick. What needs clearing is the port's line-error state (overrun, framing, parity).
std::int32_t Win32SerialDriver::ResetReceive(std::int32_t channel) {
    if (channel != kChannel || !open_) {
        return kFailed;
    }
    if (handle_ != nullptr) {
        DWORD errors = 0;
        if (!::ClearCommError(native(handle_), &errors, nullptr)) {
            deviceLost();
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
    if (handle_ == nullptr) {
        return;
    }
    DWORD errors = 0;
    COMSTAT status{};
    // A vanished port fails here; a read on it may quietly report nothing instead.
    if (!::ClearCommError(native(handle_), &errors, &status)) {
        deviceLost();
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
            deviceLost();
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
        deviceLost();
        return;
    }
    filled(received);
}

// A vanished device is closed once; retrying it would report errors thousands of times a second.
void Win32SerialDriver::deviceLost() {
    if (handle_ != nullptr) {
        ::CloseHandle(native(handle_));
        handle_ = nullptr;
    }
}

void Win32SerialDriver::closeDevice() {
    if (handle_ != nullptr) {
        ::CloseHandle(native(handle_));
    }
    handle_ = nullptr;
    open_ = false;
    openPath_.clear();
    clearBuffer();
}

} // namespace kqvdr
