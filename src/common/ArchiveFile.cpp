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
        if (error == std::errc::file_too_large) {
            return {ArchiveReadStatus::Damaged, {}, {}};
        }
        // Only a file that is not there may be taken as missing: one that is there but cannot
        // be read must not be written over with defaults.
        const bool missing = error == std::errc::no_such_file_or_directory;
        return {missing ? ArchiveReadStatus::CannotOpen : ArchiveReadStatus::Unreadable, {}, error};
    }
    ArchiveReader reader(bytes);
    auto strings = reader.readStrings(count);
    if (!strings) {
        return {ArchiveReadStatus::Damaged, {}, {}};
    }
    return {ArchiveReadStatus::Ok, std::move(*strings), {}};
}

std::string unreadableFileText(const std::string& fileName, const std::error_code& error) {
    return "\nThe file \"" + fileName + "\" cannot be read (" + error.message() + ").";
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
