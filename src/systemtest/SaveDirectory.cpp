#include "SaveDirectory.h"

#include "FileReplace.h"

namespace kqvdr {
namespace {

constexpr std::size_t kPieceLength = 98;
// It names one folder; anything longer is not a savedir.txt.
constexpr std::size_t kLargestFile = 64 * 1024;

} // namespace

SaveDirectoryCheck checkSaveDirectory(const std::filesystem::path& programDir,
                                      const std::string& testSerial) {
    SaveDirectoryCheck check;
    std::string content;
    if (readWholeFile(programDir / kSaveDirectoryFile, content, kLargestFile)) {
        return check;
    }
    std::string directory;
    for (std::size_t at = 0; at < content.size();) {
        const std::size_t lineEnd = content.find('\n', at);
        const std::size_t end = lineEnd == std::string::npos ? content.size() : lineEnd + 1;
        const std::size_t length = std::min(end - at, kPieceLength);
        directory = content.substr(at, length);
        at += length;
    }
    std::error_code error;
    if (directory.empty() || !std::filesystem::is_directory(directory, error)) {
        check.outcome = SaveDirectoryCheck::Outcome::Unreachable;
        return check;
    }
    check.outcome = SaveDirectoryCheck::Outcome::Network;
    check.networkLogPath = std::filesystem::path(directory) / (testSerial + ".log");
    check.earlierTest = std::filesystem::exists(check.networkLogPath, error);
    return check;
}

} // namespace kqvdr
