#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace kqvdr {

// The file in a data folder that only one running program may hold.
inline constexpr const char* kDataFolderLockFile = "kqvdr1000-control.lock";

// Who holds a data folder, as the holder wrote it into the lock file. Any part may be missing
// when the file cannot be read (an older program, a holder still writing it).
struct LockHolder {
    long long processId = 0;
    std::string program; // the executable's file name
    std::string account;
};

// One program per data folder: a lock on a file in the folder, held by the operating system
// for this process (flock on Linux, LockFileEx on Windows). It goes with the process, so a
// program that was killed or lost its power leaves nothing a later start must clean up.
class DataFolderLock {
public:
    enum class Result {
        Held,          // this program has the folder to itself
        HeldByAnother, // another running program has it; holder() says which
        Failed,        // the lock cannot be taken at all; error() says why
    };

    DataFolderLock() = default;
    ~DataFolderLock() { release(); }
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // Never waits. The folder must exist. `account` is written into the lock for another
    // program's message.
    Result acquire(const std::filesystem::path& folder, const std::string& account);
    void release();

    bool held() const { return handle_ != kNone; }
    const LockHolder& holder() const { return holder_; }
    const std::error_code& error() const { return error_; }

private:
#ifdef _WIN32
    using Handle = void*;
    static constexpr Handle kNone = nullptr;
#else
    using Handle = int;
    static constexpr Handle kNone = -1;
#endif
    static void closeHandle(Handle handle);

    Handle handle_ = kNone;
    LockHolder holder_;
    std::error_code error_;
};

// What the lock file holds: "process id", "program", "account", one a line.
std::string lockFileText(const LockHolder& holder);
LockHolder parseLockFileText(const std::string& text);

// This process, as a lock holder.
LockHolder thisProcess(const std::string& account);

} // namespace kqvdr
