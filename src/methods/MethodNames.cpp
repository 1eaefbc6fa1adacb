#include "MethodNames.h"

namespace kqvdr {

ArchiveReadStatus ReadMethodNames(const std::filesystem::path& programDir, MethodTable& table) {
    const auto result = readArchiveFile(programDir / kNamesFile, 2 * kMethodCount);
    if (result.status == ArchiveReadStatus::CannotOpen) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i].name = i == 0 ? "Custom Method" : "No Name";
            table[i].description = i == 0 ? "Custom Settings" : "No Method";
        }
    }
    if (result.status == ArchiveReadStatus::Ok) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            table[i].name = result.strings[2 * i];
            table[i].description = result.strings[2 * i + 1];
        }
    }
    return result.status;
}

} // namespace kqvdr
