#include "DataFolderLock.h"

#include <cerrno>
#include <sstream>

#ifdef _WIN32
#include "WideText.h"
#include "WindowsError.h"

#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kqvdr {
namespace {

// The holder's note is a few short lines; anything longer is not one.
constexpr std::size_t kMaxLockText = 4096;

} // namespace

std::string lockFileText(const LockHolder& holder) {
    return std::to_string(holder.processId) + '\n' + holder.program + '\n' + holder.account + '\n';
}

LockHolder parseLockFileText(const std::string& text) {
    std::istringstream in(text);
    std::string id;
    LockHolder holder;
    std::getline(in, id);
    std::getline(in, holder.program);
    std::getline(in, holder.account);
    try {
        std::size_t used = 0;
        const long long value = std::stoll(id, &used);
        holder.processId = used == id.size() && value > 0 ? value : 0;
    } catch (const std::exception&) {
        holder.processId = 0;
    }
    return holder;
}

void DataFolderLock::release() {
    if (handle_ != kNone) {
        closeHandle(handle_);
        handle_ = kNone;
    }
}

#ifndef _WIN32

namespace {

std::error_code lastError() {
    return {errno ? errno : EIO, std::generic_category()};
}

std::string readNote(int fd) {
    std::string text(kMaxLockText, '\0');
    const ssize_t n = ::pread(fd, text.data(), text.size(), 0);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

// A lock on a file that was removed or replaced after it was opened guards nothing.
bool stillNamedBy(int fd, const std::filesystem::path& path) {
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

} // namespace

LockHolder thisProcess(const std::string& account) {
    LockHolder self{static_cast<long long>(::getpid()), "", account};
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    self.program = error ? std::string("kqvdr1000-control") : executable.filename().string();
    return self;
}

DataFolderLock::Result DataFolderLock::acquire(const std::filesystem::path& folder,
                                               const std::string& account) {
    release();
    holder_ = {};
    error_ = {};
    const auto path = folder / kDataFolderLockFile;
    for (int attempt = 0; attempt < 5; ++attempt) {
        errno = 0;
        int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        // Another account's lock file in a shared folder may be read-only to this one; a lock
        // needs no more than reading.
        if (fd < 0 && errno == EACCES) {
            fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        }
        if (fd < 0) {
            error_ = lastError();
            return Result::Failed;
        }
        errno = 0;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int why = errno;
            if (why == EWOULDBLOCK || why == EAGAIN) {
                holder_ = parseLockFileText(readNote(fd));
                ::close(fd);
                return Result::HeldByAnother;
            }
            error_ = {why ? why : EIO, std::generic_category()};
            ::close(fd);
            return Result::Failed;
        }
        if (!stillNamedBy(fd, path)) {
            ::close(fd);
            continue;
        }
        const std::string note = lockFileText(thisProcess(account));
        // The note only names the holder for another program's message; the lock holds without it.
        if (::ftruncate(fd, 0) == 0) {
            [[maybe_unused]] const ssize_t written = ::pwrite(fd, note.data(), note.size(), 0);
        }
        handle_ = fd;
        return Result::Held;
    }
    error_ = std::make_error_code(std::errc::resource_unavailable_try_again);
    return Result::Failed;
}

void DataFolderLock::closeHandle(Handle handle) {
    ::close(handle);
}

#else

namespace {

// Locked far beyond the note, because a Windows lock also bars others from reading the bytes
// it covers, and the note is there to be read.
constexpr DWORD kLockOffsetHigh = 1;

std::string readNote(HANDLE file) {
    std::string text(kMaxLockText, '\0');
    OVERLAPPED at{};
    DWORD read = 0;
    if (!::ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, &at)) {
        read = 0;
    }
    text.resize(read);
    return text;
}

} // namespace

LockHolder thisProcess(const std::string& account) {
    LockHolder self{static_cast<long long>(::GetCurrentProcessId()), "", account};
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            name.clear();
            break;
        }
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2);
    }
    self.program = name.empty() ? std::string("kqvdr1000-control.exe")
                                : utf8FromWide(std::filesystem::path(name).filename().wstring());
    return self;
}

DataFolderLock::Result DataFolderLock::acquire(const std::filesystem::path& folder,
                                               const std::string& account) {
    release();
    holder_ = {};
    error_ = {};
    const auto path = folder / kDataFolderLockFile;
    // Not shared for deletion: nobody removes the lock from under its holder.
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    // Another account's lock file may be read-only to this one (a shared folder without the
    // installer's rights); a lock needs no more than reading.
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_ACCESS_DENIED) {
        file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        error_ = lastWindowsError();
        return Result::Failed;
    }
    OVERLAPPED at{};
    at.OffsetHigh = kLockOffsetHigh;
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) {
            holder_ = parseLockFileText(readNote(file));
            ::CloseHandle(file);
            return Result::HeldByAnother;
        }
        error_ = windowsError(code);
        ::CloseHandle(file);
        return Result::Failed;
    }
    const std::string note = lockFileText(thisProcess(account));
    DWORD written = 0;
    OVERLAPPED start{};
    if (::WriteFile(file, note.data(), static_cast<DWORD>(note.size()), &written, &start)) {
        LARGE_INTEGER end{};
        end.QuadPart = written;
        if (::SetFilePointerEx(file, end, nullptr, FILE_BEGIN)) {
            ::SetEndOfFile(file);
        }
    }
    handle_ = file;
    return Result::Held;
}

void DataFolderLock::closeHandle(Handle handle) {
    ::CloseHandle(handle);
}

#endif

} // namespace kqvdr
