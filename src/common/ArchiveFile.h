#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace kqvdr {

enum class ArchiveReadStatus {
    Ok,
    CannotOpen, // the file is missing
    Damaged,    // it opened but is shorter than its format, or a length runs past its end
    Unreadable, // it is there but cannot be read: permission, a folder, a pipe; see `error`
};

struct ArchiveReadResult {
    ArchiveReadStatus status = ArchiveReadStatus::CannotOpen;
    std::vector<std::string> strings; // exactly the requested count when status is Ok
    std::error_code error;            // the system's reason when it is Unreadable
};

// "\nThe file \"Names.mtd\" cannot be read (Permission denied).", for an unreadable file.
std::string unreadableFileText(const std::string& fileName, const std::error_code& error);

// Reads the first `count` strings of an archive file; any bytes after them are ignored.
ArchiveReadResult readArchiveFile(const std::filesystem::path& path, std::size_t count);

// Replaces the file with the given strings (through a temporary file and a rename).
std::error_code writeArchiveFile(const std::filesystem::path& path,
                                 const std::vector<std::string>& strings);

} // namespace kqvdr
