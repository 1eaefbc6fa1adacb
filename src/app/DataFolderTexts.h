#pragma once

#include "DataFolderLock.h"
#include "EarlierDataCopy.h"

#include <string>
#include <string_view>

namespace kqvdr {

inline constexpr std::string_view alreadyRunningMessage =
    "KQ-VDR1000 Control is already running for this data folder.";

// The refusal of a second program on one data folder, naming the one that runs where its lock
// says who it is. UTF-8, without surrounding line breaks.
std::string alreadyRunningText(const std::string& folder, const LockHolder& holder);

// Where the data folder is, for when no file manager opens it.
std::string dataFolderText(const std::string& folder);

// Said once, after the copy; empty when there is nothing to say.
std::string earlierDataCopyText(const EarlierDataCopy& copy, const std::string& earlierFolder,
                                const std::string& sharedFolder);

} // namespace kqvdr
