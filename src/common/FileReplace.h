#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace kqvdr {

// Writes the whole content to a temporary file beside the target, flushes it to the disk and
// renames it over the target, so that a crash or a full disk leaves either the old file or the
// new one, never a half-written one. Returns an empty error code on success.
std::error_code replaceFileContent(const std::filesystem::path& target, std::string_view content);

// Reads a whole file of at most maxBytes. An empty error code means success.
std::error_code readWholeFile(const std::filesystem::path& path, std::string& content,
                              std::size_t maxBytes);

} // namespace kqvdr
