#pragma once

#include "ArchiveFile.h"
#include "MethodRecord.h"

#include <filesystem>
#include <system_error>

namespace kqvdr {

inline constexpr const char* kNamesFile = "Names.mtd";
inline constexpr std::size_t kNamesFileStrings = 2 * kMethodCount;

// Fills the names and descriptions of all eleven methods from "Names.mtd". A missing file gives
// the default names and is not created; a damaged or unreadable one changes nothing, and
// `error` says why it could not be read.
ArchiveReadStatus ReadMethodNames(const std::filesystem::path& programDir, MethodTable& table,
                                  std::error_code& error);
ArchiveReadStatus ReadMethodNames(const std::filesystem::path& programDir, MethodTable& table);

// Replaces "Names.mtd" with the names and descriptions of methods 0 to 10.
std::error_code WriteMethodNames(const std::filesystem::path& programDir, const MethodTable& table);

} // namespace kqvdr
