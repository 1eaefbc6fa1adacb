#pragma once

#include "ArchiveFile.h"
#include "MethodRecord.h"

#include <filesystem>

namespace kqvdr {

inline constexpr const char* kNamesFile = "Names.mtd";

// Fills the names and descriptions of all eleven methods from "Names.mtd". A missing file gives
// the default names and is not created; a damaged one changes nothing and is reported.
ArchiveReadStatus ReadMethodNames(const std::filesystem::path& programDir, MethodTable& table);

} // namespace kqvdr
