#include "StaleTemporaries.h"

#include "FileReplace.h"

namespace kqvdr {

std::vector<std::filesystem::path> removeStaleTemporaries(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> removed;
    std::error_code error;
    std::filesystem::directory_iterator entries(dir, error);
    if (error) {
        return removed;
    }
    for (const std::filesystem::directory_entry& entry : entries) {
        std::error_code status;
        // A link or a folder of that name is not one of ours.
        if (!entry.is_regular_file(status) || entry.is_symlink(status) ||
            !isReplacementTemporary(entry.path())) {
            continue;
        }
        if (std::filesystem::remove(entry.path(), status)) {
            removed.push_back(entry.path());
        }
    }
    return removed;
}

} // namespace kqvdr
