#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace kqvdr {

// An open log file that keeps what it is given: every append is written and synced to the disk
// before it returns, so a crash or a power cut loses at most the line being written, and an
// append that fails is cut back off, so the file holds whole lines only. Every append lands at
// the end of the file as it is at that moment, never at a place remembered from before, so a
// line written meanwhile by anyone else is never overwritten.
class LogFile {
public:
    enum class Mode {
        Fresh,    // create, or empty an existing file
        Existing, // append to a file that must already exist
    };

    LogFile() = default;
    ~LogFile() { close(); }
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Closes any file already open first. An empty error code means success.
    std::error_code open(const std::filesystem::path& path, Mode mode);
    std::error_code append(std::string_view bytes);
    void close();

    bool isOpen() const;
    const std::filesystem::path& path() const { return path_; }

private:
#ifdef _WIN32
    void* file_ = nullptr; // a handle opened for appending only
#else
    int fd_ = -1;
#endif
    std::filesystem::path path_;
};

} // namespace kqvdr
