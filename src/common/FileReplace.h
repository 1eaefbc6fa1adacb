#pragma once

#include "FileErrors.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace kqvdr {

// The system calls that write a replacement file. The program uses the system's own; a test
// puts a failing one in its place to see what a failing disk does.
struct FileWriteCalls {
    long (*write)(int fd, const void* data, std::size_t size);
    int (*sync)(int fd);
    int (*close)(int fd);
};
const FileWriteCalls& systemFileWriteCalls();

// Who may read a replacement file. OwnerOnly files (private keys) are created that way, so they
// are never readable by others, not even for the moment before a change of mode.
enum class FileAccess { Shared, OwnerOnly };

// How long a save on Windows keeps trying while another program holds the file open (an
// antivirus or an indexer looking at it). After that the save fails with Windows' own reason
// and the target keeps its old content.
inline constexpr std::chrono::milliseconds kReplaceRetryWindow{1000};

// Writes the whole content to a temporary file beside the target, flushes it to the disk,
// checks its size and renames it over the target, so that a crash or a full disk leaves either
// the old file or the new one, never a half-written one. A symbolic link keeps pointing where it
// did: its target gets the new content. Returns an empty error code on success.
std::error_code replaceFileContent(const std::filesystem::path& target, std::string_view content,
                                   const FileWriteCalls& calls = systemFileWriteCalls(),
                                   FileAccess access = FileAccess::Shared);

// Whether a file's name is one replaceFileContent gives its temporaries: one an interrupted save
// can leave behind.
bool isReplacementTemporary(const std::filesystem::path& file);

// Reads a whole file of at most maxBytes. Only a plain file is read: a named pipe would wait
// for a writer and a device may never end, so anything else is refused without waiting
// (FileError::NotAPlainFile, or the system's "Is a directory"). Every other failure carries the
// system's reason. An empty error code means success; on failure `content` is left alone.
std::error_code readWholeFile(const std::filesystem::path& path, std::string& content,
                              std::size_t maxBytes);

// The last maxBytes of a plain file, or all of it when it is smaller; `startsAt` is the offset
// of the first byte read. Refuses what readWholeFile refuses.
std::error_code readFileEnd(const std::filesystem::path& path, std::size_t maxBytes,
                            std::string& content, std::uint64_t& startsAt);

} // namespace kqvdr
