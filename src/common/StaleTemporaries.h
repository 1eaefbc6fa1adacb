#pragma once

#include <filesystem>
#include <vector>

namespace kqvdr {

// Removes the temporaries that saves into `dir` left behind when they were cut short (a power
// cut between writing and renaming): plain files named as replaceFileContent names them. Only
// safe while nothing else can be saving into `dir`, so only with the data folder locked. Returns
// what was removed; one that cannot be removed is left, and tried again at the next start.
std::vector<std::filesystem::path> removeStaleTemporaries(const std::filesystem::path& dir);

} // namespace kqvdr
