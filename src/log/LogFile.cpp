#include "LogFile.h"

#include <cerrno>

#ifdef _WIN32
#include "WindowsError.h"

#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kqvdr {

#ifndef _WIN32

namespace {

std::error_code lastError() {
    return {errno ? errno : EIO, std::generic_category()};
}

} // namespace

std::error_code LogFile::open(const std::filesystem::path& path, Mode mode) {
    close();
    // Without O_NONBLOCK a named pipe with no reader would hold the program here for good; with
    // it the open fails at once. Writes are blocking again afterwards.
    const int flags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK |
                      (mode == Mode::Fresh ? O_CREAT | O_TRUNC : 0);
    errno = 0;
    fd_ = ::open(path.c_str(), flags, 0644);
    if (fd_ < 0) {
        return lastError();
    }
    const int status = ::fcntl(fd_, F_GETFL);
    if (status < 0 || ::fcntl(fd_, F_SETFL, status & ~O_NONBLOCK) < 0) {
        const std::error_code error = lastError();
        close();
        return error;
    }
    path_ = path;
    return {};
}

std::error_code LogFile::append(std::string_view bytes) {
    if (fd_ < 0) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    const off_t before = ::lseek(fd_, 0, SEEK_END);
    std::size_t written = 0;
    while (written < bytes.size()) {
        errno = 0;
        const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const std::error_code error = lastError();
            if (before >= 0 && written > 0) {
                // Best effort: devices and some network shares refuse to truncate.
                [[maybe_unused]] const int ignored = ::ftruncate(fd_, before);
            }
            return error;
        }
        written += static_cast<std::size_t>(n);
    }
    errno = 0;
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        return lastError(); // EINVAL/EROFS: a device such as a terminal, which has nothing to sync
    }
    return {};
}

void LogFile::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool LogFile::isOpen() const {
    return fd_ >= 0;
}

#else

namespace {

std::error_code truncateTo(const std::filesystem::path& path, const LARGE_INTEGER& size) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return lastWindowsError();
    }
    std::error_code error;
    if (!::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) || !::SetEndOfFile(file)) {
        error = lastWindowsError();
    }
    ::CloseHandle(file);
    return error;
}

} // namespace

std::error_code LogFile::open(const std::filesystem::path& path, Mode mode) {
    close();
    if (mode == Mode::Fresh) {
        HANDLE fresh =
            ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (fresh == INVALID_HANDLE_VALUE) {
            return lastWindowsError();
        }
        ::CloseHandle(fresh);
    }
    // Append access without write access: Windows puts every write at the end of the file.
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return lastWindowsError();
    }
    file_ = file;
    path_ = path;
    return {};
}

std::error_code LogFile::append(std::string_view bytes) {
    if (file_ == nullptr) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    HANDLE file = file_;
    LARGE_INTEGER before{};
    const bool sized = ::GetFileSizeEx(file, &before);
    std::size_t written = 0;
    std::error_code error;
    while (!error && written < bytes.size()) {
        DWORD n = 0;
        if (!::WriteFile(file, bytes.data() + written, static_cast<DWORD>(bytes.size() - written),
                         &n, nullptr)) {
            error = lastWindowsError();
        } else if (n == 0) {
            error = std::make_error_code(std::errc::no_space_on_device);
        }
        written += n;
    }
    if (!error && !::FlushFileBuffers(file)) {
        error = lastWindowsError();
    }
    if (error && written > 0 && sized) {
        // Best effort, as on a device or a share that refuses it nothing more can be done.
        truncateTo(path_, before);
    }
    return error;
}

void LogFile::close() {
    if (file_ != nullptr) {
        ::CloseHandle(file_);
        file_ = nullptr;
    }
}

bool LogFile::isOpen() const {
    return file_ != nullptr;
}

#endif

} // namespace kqvdr
