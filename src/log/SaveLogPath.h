#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace kqvdr {

// The extensions the Save Operational Log dialog offers, as its list shows them.
inline constexpr std::array<std::string_view, 3> kSaveLogExtensions = {".wri ", ".txt", ".log"};
inline constexpr std::string_view kSaveLogDefaultName = "My VDR Log";

// The saved copy's path from the dialog's three fields. A separator goes between directory and
// name unless the directory already ends in one (directory choosers return none), and trailing
// blanks and dots are dropped from the name, as Windows drops them, so ".wri " saves as ".wri".
std::string saveLogFullPath(std::string_view directory, std::string_view fileName,
                            std::string_view extension);

// Where the dialog starts: the drive root of the data directory on Windows, the user's home
// folder elsewhere.
std::string saveLogStartDirectory(const std::filesystem::path& programDir,
                                  const std::string& homeDirectory);

} // namespace kqvdr
