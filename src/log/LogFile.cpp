#include "LogFile.h"

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kqvdr {
namespace {

std::error_code lastError() {
    return {errno ? errno : EIO, std::generic_category()};
}

} // namespace

#ifndef _WIN32

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

std::error_code LogFile::open(const std::filesystem::path& path, Mode mode) {
    close();
    errno = 0;
    file_ = _wfopen(path.c_str(), mode == Mode::Fresh ? L"wbc" : L"r+bc");
    if (file_ == nullptr) {
        return lastError();
    }
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        const std::error_code error = lastError();
        close();
        return error;
    }
    path_ = path;
    return {};
}

std::error_code LogFile::append(std::string_view bytes) {
    if (file_ == nullptr) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    const long long before = _ftelli64(file_);
    errno = 0;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() &&
                    std::fflush(file_) == 0 && _commit(_fileno(file_)) == 0;
    if (!ok) {
        const std::error_code error = lastError();
        std::clearerr(file_);
        if (before >= 0) {
            _chsize_s(_fileno(file_), before);
            std::fseek(file_, 0, SEEK_END);
        }
        return error;
    }
    return {};
}

void LogFile::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool LogFile::isOpen() const {
    return file_ != nullptr;
}

#endif

} // namespace kqvdr
