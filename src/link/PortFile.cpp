#include "PortFile.h"

#include "ArchiveFile.h"
#include "PortName.h"

namespace kqvdr {

StoredPort readPortFile(const std::filesystem::path& programDir) {
    const auto result = readArchiveFile(programDir / kPortFile, 1);
    if (result.status == ArchiveReadStatus::CannotOpen ||
        result.status == ArchiveReadStatus::Unreadable) {
        return {};
    }
    if (result.status == ArchiveReadStatus::Damaged) {
        return {StoredPort::Status::Damaged, {}};
    }
    // Only the exact text the program writes counts, so that what is read is what was chosen.
    const std::optional<std::string> port = portFromText(result.strings[0]);
    if (!port || *port != result.strings[0]) {
        return {StoredPort::Status::Damaged, {}};
    }
    return {StoredPort::Status::Port, *port};
}

std::error_code writePortFile(const std::filesystem::path& programDir, const std::string& text) {
    return writeArchiveFile(programDir / kPortFile, {text});
}

} // namespace kqvdr
