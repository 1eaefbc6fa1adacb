#pragma once

#include "DataDirectory.h"
#include "DataFolderLock.h"

#include <filesystem>

namespace kqvdr {

class MessageBoxes;

enum class DataFolderClaim {
    Ours,           // the lock is held: this program alone writes the folder
    TakenByAnother, // another program runs on it: end with exit code 1, having written nothing
    Unlocked,       // no lock can be had here (a file system without locks): run as before
};

// Creates the data folder when needed and locks it for this program, before anything is
// written into it. When another program holds it, the refusal goes to the standard error and,
// where a person can see a window, into a message box, and the other program's window is
// brought to the front where the system allows it.
DataFolderClaim claimDataFolder(DataFolderLock& lock, const std::filesystem::path& dir,
                                MessageBoxes& messageBoxes);

// The per-user data of an earlier version copied into the shared folder, once, and the person
// told what was copied. Only while the lock is held.
void copyEarlierDataOnce(const DataDirectory& data, MessageBoxes& messageBoxes);

} // namespace kqvdr
