#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace kqvdr {

enum class ArchiveReadStatus {
    Ok,
    CannotOpen, // the file is missing or unreadable
    Damaged,    // it opened but is shorter than its format, or a length runs past its end
};

struct ArchiveReadResult {
    ArchiveReadStatus status = ArchiveReadStatus::CannotOpen;
    std::vector<std::string> strings; // exactly the requested count when status is Ok
};

// Reads the first `count` strings of an archive file; any bytes after them are ignored.
ArchiveReadResult readArchiveFile(const std::filesystem::path& path, std::size_t count);

// Replaces the file with the given strings (through a temporary file and a rename).
std::error_code writeArchiveFile(const std::filesystem::path& path,
                                 const std::vector<std::string>& strings);

} // namespace kqvdr
