#include "PortFile.h"

#include "ArchiveFile.h"

namespace kqvdr {

std::optional<int> portIndexFromText(const std::string& text) {
    for (int i = 0; i < 4; ++i) {
        if (text == portText(i)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string portText(int portIndex) {
    return "COM " + std::to_string(portIndex + 1);
}

std::optional<int> readPortFile(const std::filesystem::path& programDir) {
    const auto result = readArchiveFile(programDir / kPortFile, 1);
    if (result.status == ArchiveReadStatus::CannotOpen ||
        result.status == ArchiveReadStatus::Unreadable) {
        return std::nullopt;
    }
    if (result.status == ArchiveReadStatus::Damaged) {
        return 0;
    }
    return portIndexFromText(result.strings[0]).value_or(0);
}

std::error_code writePortFile(const std::filesystem::path& programDir, const std::string& text) {
    return writeArchiveFile(programDir / kPortFile, {text});
}

} // namespace kqvdr
