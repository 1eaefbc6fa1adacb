#include "FileReplace.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#ifdef _WIN32
#include "OwnerOnlyFileWin32.h"
#include "WindowsError.h"

#include <chrono>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kqvdr {
namespace {

#ifdef _WIN32
using FileStat = struct _stat64;
// A shared file gets the folder's access list, as any other file made there; a private one a
// list of its own.
int openForWriting(const std::filesystem::path& path, FileAccess access, std::error_code& error) {
    if (access == FileAccess::OwnerOnly) {
        return createOwnerOnlyFile(path, error);
    }
    errno = 0;
    const int fd =
        ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        error = {errno ? errno : EIO, std::generic_category()};
    }
    return fd;
}
int openForReading(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}
int statOf(int fd, FileStat& info) {
    return ::_fstat64(fd, &info);
}
bool plainFile(const FileStat& info) {
    return (info.st_mode & _S_IFMT) == _S_IFREG;
}
bool folder(const FileStat& info) {
    return (info.st_mode & _S_IFMT) == _S_IFDIR;
}
long readFrom(int fd, char* buffer, std::size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(size));
}
long long seekTo(int fd, std::uint64_t offset) {
    return ::_lseeki64(fd, static_cast<long long>(offset), SEEK_SET);
}
void closeQuietly(int fd) {
    ::_close(fd);
}
const FileWriteCalls kSystemCalls{[](int fd, const void* data, std::size_t size) -> long {
                                      return ::_write(fd, data, static_cast<unsigned>(size));
                                  },
                                  [](int fd) { return ::_commit(fd); },
                                  [](int fd) { return ::_close(fd); }};

// An antivirus or an indexer opens a fresh file to look at it, without letting it be renamed
// or replaced, and lets go a moment later: that is worth waiting for, briefly.
bool worthRetrying(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           code == ERROR_ACCESS_DENIED;
}

std::error_code renameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    const auto deadline = std::chrono::steady_clock::now() + kReplaceRetryWindow;
    for (;;) {
        // Write-through: the rename is on the disk before the save counts as done.
        if (::MoveFileExW(from.c_str(), to.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return {};
        }
        const DWORD code = ::GetLastError();
        if (!worthRetrying(code) || std::chrono::steady_clock::now() >= deadline) {
            return windowsError(code);
        }
        ::Sleep(50);
    }
}
#else
using FileStat = struct stat;
int openForWriting(const std::filesystem::path& path, FileAccess access, std::error_code& error) {
    errno = 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          access == FileAccess::OwnerOnly ? 0600 : 0644);
    if (fd < 0) {
        error = {errno ? errno : EIO, std::generic_category()};
    }
    return fd;
}
// Without O_NONBLOCK, opening a named pipe waits for a writer before anything can be checked.
int openForReading(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}
int statOf(int fd, FileStat& info) {
    return ::fstat(fd, &info);
}
bool plainFile(const FileStat& info) {
    return S_ISREG(info.st_mode);
}
bool folder(const FileStat& info) {
    return S_ISDIR(info.st_mode);
}
long readFrom(int fd, char* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}
long long seekTo(int fd, std::uint64_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET);
}
void closeQuietly(int fd) {
    ::close(fd);
}
const FileWriteCalls kSystemCalls{
    [](int fd, const void* data, std::size_t size) -> long { return ::write(fd, data, size); },
    [](int fd) { return ::fsync(fd); }, [](int fd) { return ::close(fd); }};

std::error_code renameOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return error;
}
#endif

std::error_code lastError() {
    return {errno ? errno : EIO, std::generic_category()};
}

// A replacement's temporary is the target's name, ".tmp" and up to six digits.
constexpr unsigned kTemporaryNumbers = 1000000;
constexpr std::size_t kTemporaryDigits = 6;

std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    std::random_device entropy;
    auto name = target.filename().native();
    name += std::filesystem::path(".tmp" + std::to_string(entropy() % kTemporaryNumbers)).native();
    return target.parent_path() / name;
}

// The file a name stands for: a link is followed, so the link stays and its target is renewed.
std::filesystem::path followLinks(const std::filesystem::path& target) {
    std::error_code error;
    if (!std::filesystem::is_symlink(target, error)) {
        return target;
    }
    const auto resolved = std::filesystem::weakly_canonical(target, error);
    return error ? target : resolved;
}

std::error_code writeAndSync(const std::filesystem::path& path, std::string_view content,
                             const FileWriteCalls& calls, FileAccess access) {
    std::error_code error;
    const int fd = openForWriting(path, access, error);
    if (fd < 0) {
        return error;
    }
    std::size_t written = 0;
    while (!error && written < content.size()) {
        errno = 0;
        const long n = calls.write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = n == 0 ? std::make_error_code(std::errc::no_space_on_device) : lastError();
        } else {
            written += static_cast<std::size_t>(n);
        }
    }
    errno = 0;
    if (!error && calls.sync(fd) != 0) {
        error = lastError();
    }
    // A file system may accept every write and still hold less: the size must be all of it.
    FileStat info{};
    if (!error && (statOf(fd, info) != 0 || static_cast<std::uint64_t>(info.st_size) !=
                                                static_cast<std::uint64_t>(content.size()))) {
        error = std::make_error_code(std::errc::no_space_on_device);
    }
    // Closed whatever happened before, so that a failing disk does not use up descriptors.
    errno = 0;
    if (calls.close(fd) != 0 && !error) {
        error = lastError();
    }
    return error;
}

// An open plain file for reading, closed when it goes.
class ReadableFile {
public:
    ~ReadableFile() {
        if (fd_ >= 0) {
            closeQuietly(fd_);
        }
    }
    std::error_code open(const std::filesystem::path& path) {
#ifdef _WIN32
        // Windows refuses to open a folder as "Permission denied"; say what it is.
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) {
            return std::make_error_code(std::errc::is_a_directory);
        }
#endif
        errno = 0;
        fd_ = openForReading(path);
        if (fd_ < 0) {
            return lastError();
        }
        FileStat info{};
        if (statOf(fd_, info) != 0) {
            return lastError();
        }
        if (folder(info)) {
            return std::make_error_code(std::errc::is_a_directory);
        }
        if (!plainFile(info)) {
            return FileError::NotAPlainFile;
        }
        size_ = static_cast<std::uint64_t>(info.st_size);
        return {};
    }
    std::uint64_t size() const {
        return size_;
    }
    std::error_code seek(std::uint64_t offset) {
        errno = 0;
        return seekTo(fd_, offset) < 0 ? lastError() : std::error_code{};
    }
    // Up to maxBytes from here to the end; a file that grows past that is too large.
    std::error_code readRest(std::string& data, std::size_t maxBytes) {
        char chunk[65536];
        for (;;) {
            errno = 0;
            const long n = readFrom(fd_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return lastError();
            }
            if (n == 0) {
                return {};
            }
            data.append(chunk, static_cast<std::size_t>(n));
            if (data.size() > maxBytes) {
                return std::make_error_code(std::errc::file_too_large);
            }
        }
    }

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace

const FileWriteCalls& systemFileWriteCalls() {
    return kSystemCalls;
}

std::error_code replaceFileContent(const std::filesystem::path& name, std::string_view content,
                                   const FileWriteCalls& calls, FileAccess access) {
    const auto target = followLinks(name);
    const auto temporary = temporaryBeside(target);
    if (auto error = writeAndSync(temporary, content, calls, access)) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return error;
    }
    const std::error_code error = renameOver(temporary, target);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return error;
}

bool isReplacementTemporary(const std::filesystem::path& file) {
    const auto name = file.filename().native();
    std::size_t digits = 0;
    while (digits < name.size() && name[name.size() - 1 - digits] >= '0' &&
           name[name.size() - 1 - digits] <= '9') {
        ++digits;
    }
    constexpr std::size_t kMark = 4; // ".tmp"
    if (digits == 0 || digits > kTemporaryDigits || name.size() <= digits + kMark) {
        return false; // nothing is left for the target's own name
    }
    const std::size_t mark = name.size() - digits - kMark;
    return name[mark] == '.' && name[mark + 1] == 't' && name[mark + 2] == 'm' &&
           name[mark + 3] == 'p';
}

std::error_code readWholeFile(const std::filesystem::path& path, std::string& content,
                              std::size_t maxBytes) {
    ReadableFile file;
    if (const auto error = file.open(path)) {
        return error;
    }
    if (file.size() > maxBytes) {
        return std::make_error_code(std::errc::file_too_large);
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(file.size()));
    if (const auto error = file.readRest(data, maxBytes)) {
        return error;
    }
    content = std::move(data);
    return {};
}

std::error_code readFileEnd(const std::filesystem::path& path, std::size_t maxBytes,
                            std::string& content, std::uint64_t& startsAt) {
    ReadableFile file;
    if (const auto error = file.open(path)) {
        return error;
    }
    const std::uint64_t start = file.size() > maxBytes ? file.size() - maxBytes : 0;
    if (const auto error = file.seek(start)) {
        return error;
    }
    std::string data;
    // A file that grows while it is read gives what was there, and no more than asked.
    if (const auto error = file.readRest(data, maxBytes);
        error && error != std::errc::file_too_large) {
        return error;
    }
    data.resize(std::min(data.size(), maxBytes));
    content = std::move(data);
    startsAt = start;
    return {};
}

} // namespace kqvdr
