#include "SaveLogPath.h"

namespace kqvdr {
namespace {

bool isSeparator(char c) {
    return c == '/' || c == static_cast<char>(std::filesystem::path::preferred_separator);
}

} // namespace

std::string saveLogFullPath(std::string_view directory, std::string_view fileName,
                            std::string_view extension) {
    std::string name(fileName);
    name += extension;
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) {
        name.pop_back();
    }
    std::string path(directory);
    if (!path.empty() && !isSeparator(path.back())) {
        path += static_cast<char>(std::filesystem::path::preferred_separator);
    }
    return path + name;
}

std::string saveLogStartDirectory([[maybe_unused]] const std::filesystem::path& programDir,
                                  [[maybe_unused]] const std::string& homeDirectory) {
#ifdef _WIN32
    const std::u8string root = programDir.root_path().u8string();
    return std::string(root.begin(), root.end());
#else
    return homeDirectory.empty() ? std::string("/") : homeDirectory;
#endif
}

} // namespace kqvdr
