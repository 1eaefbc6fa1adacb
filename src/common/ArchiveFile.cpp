#include "ArchiveFile.h"

#include "ArchiveString.h"
#include "FileReplace.h"

namespace kqvdr {
namespace {

// Our data files are a few kilobytes; anything this large is not one of them.
constexpr std::size_t kMaxArchiveBytes = 16 * 1024 * 1024;

} // namespace

ArchiveReadResult readArchiveFile(const std::filesystem::path& path, std::size_t count) {
    std::string bytes;
    if (const auto error = readWholeFile(path, bytes, kMaxArchiveBytes)) {
        const bool tooLarge = error == std::errc::file_too_large;
        return {tooLarge ? ArchiveReadStatus::Damaged : ArchiveReadStatus::CannotOpen, {}};
    }
    ArchiveReader reader(bytes);
    auto strings = reader.readStrings(count);
    if (!strings) {
        return {ArchiveReadStatus::Damaged, {}};
    }
    return {ArchiveReadStatus::Ok, std::move(*strings)};
}

std::error_code writeArchiveFile(const std::filesystem::path& path,
                                 const std::vector<std::string>& strings) {
    ArchiveWriter writer;
    for (const auto& text : strings) {
        writer.writeString(text);
    }
    return replaceFileContent(path, writer.bytes());
}

} // namespace kqvdr
