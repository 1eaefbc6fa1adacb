#include "WindowsError.h"

#include "WideText.h"

#include <string>
#include <windows.h>

namespace kqvdr {
namespace {

class WindowsErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "windows"; }

    std::string message(int code) const override {
        wchar_t* text = nullptr;
        const DWORD length = ::FormatMessageW(
            FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
        std::string message = length > 0 ? utf8FromWide({text, length}) : std::string();
        ::LocalFree(text);
        while (!message.empty() &&
               (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
            message.pop_back();
        }
        return message.empty() ? "Windows error " + std::to_string(code) : message;
    }

    std::error_condition default_error_condition(int code) const noexcept override {
        switch (static_cast<DWORD>(code)) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return std::errc::no_such_file_or_directory;
        case ERROR_ACCESS_DENIED:
            return std::errc::permission_denied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return std::errc::device_or_resource_busy;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::errc::no_space_on_device;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return std::errc::file_exists;
        default:
            return {code, *this};
        }
    }
};

} // namespace

const std::error_category& windowsErrorCategory() {
    static const WindowsErrorCategory category;
    return category;
}

std::error_code windowsError(unsigned long code) {
    return {static_cast<int>(code), windowsErrorCategory()};
}

std::error_code lastWindowsError() {
    const DWORD code = ::GetLastError();
    return windowsError(code != 0 ? code : ERROR_GEN_FAILURE);
}

} // namespace kqvdr
