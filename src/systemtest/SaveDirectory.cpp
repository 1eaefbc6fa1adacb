#include "SaveDirectory.h"

#include <fstream>
#include <iterator>

namespace kqvdr {
namespace {

constexpr std::size_t kPieceLength = 98;

} // namespace

SaveDirectoryCheck checkSaveDirectory(const std::filesystem::path& programDir,
                                      const std::string& testSerial) {
    std::ifstream in(programDir / kSaveDirectoryFile, std::ios::binary);
    SaveDirectoryCheck check;
    if (!in) {
        return check;
    }
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
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
