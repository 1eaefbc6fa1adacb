#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kqvdr {

// Left in the per-user folder once its files were copied to the shared folder: it tells the
// person where the data went, and the program not to copy again.
inline constexpr const char* kEarlierDataNoteFile = "Data moved to the shared folder.txt";

// What was copied from the per-user folder of an earlier version into the shared one.
struct EarlierDataCopy {
    bool looked = false; // false: there was no earlier folder, or it was copied before
    std::vector<std::string> copied;
    std::vector<std::string> kept;   // the shared folder has its own file of the name
    std::vector<std::string> failed; // "name: reason"
};

// Copies each file of `earlier` into `shared` where that has no file of the name, once. Nothing
// is overwritten, and a copy cut short leaves no half file that would count as the user's own.
// Runs only while the shared folder's lock is held. UTF-8 names.
EarlierDataCopy copyEarlierData(const std::filesystem::path& earlier,
                                const std::filesystem::path& shared);

} // namespace kqvdr
