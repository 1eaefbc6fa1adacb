#include "MethodNames.h"

namespace kqvdr {

ArchiveReadStatus ReadMethodNames(const std::filesystem::path& programDir, MethodTable& table) {
    std::error_code error;
    return ReadMethodNames(programDir, table, error);
}

ArchiveReadStatus ReadMethodNames(const std::filesystem::path& programDir, MethodTable& table,
                                  std::error_code& error) {
    const auto result = readArchiveFile(programDir / kNamesFile, kNamesFileStrings);
    error = result.error;
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

std::error_code WriteMethodNames(const std::filesystem::path& programDir,
                                 const MethodTable& table) {
    std::vector<std::string> strings;
    strings.reserve(kNamesFileStrings);
    for (const MethodRecord& record : table) {
        strings.push_back(record.name);
        strings.push_back(record.description);
    }
    return writeArchiveFile(programDir / kNamesFile, strings);
}

} // namespace kqvdr
