#include "DataDirectory.h"

#include "FileReplace.h"
#include "Utf8Path.h"

#include <array>

namespace kqvdr {
namespace {

constexpr const char* kShareFolder = "kqvdr1000-control";

// Supplied files are small; anything larger is not one of them.
constexpr std::size_t kMaxSuppliedFileBytes = 1024 * 1024;

} // namespace

std::optional<std::filesystem::path> installedShareDir(const std::filesystem::path& executableDir) {
    std::filesystem::path bin = executableDir.lexically_normal();
    if (!bin.has_filename()) {
        bin = bin.parent_path();
    }
    if (bin.filename() != "bin") {
        return std::nullopt;
    }
    std::filesystem::path share = bin.parent_path() / "share" / kShareFolder;
    std::error_code error;
    if (!std::filesystem::is_directory(share, error)) {
        return std::nullopt;
    }
    return share;
}

DataDirectory chooseDataDirectory(const std::optional<std::string>& dirOption,
                                  const std::filesystem::path& executableDir,
                                  const std::filesystem::path& userDataDir,
                                  const std::filesystem::path& sharedDataDir) {
    const auto share = installedShareDir(executableDir);
    if (dirOption && !dirOption->empty()) {
        return {pathFromUtf8(*dirOption), share ? *share : executableDir, {}};
    }
    if (share && !sharedDataDir.empty()) {
        return {sharedDataDir, *share, userDataDir};
    }
    if (share) {
        return {userDataDir, *share, {}};
    }
    return {executableDir, {}, {}};
}

bool isSuppliedDataFile(const std::string& fileName) {
    static constexpr std::array<const char*, 3> kOperatorFiles{"Names.mtd", "Methods.mtd",
                                                               "Auto.seq"};
    for (const char* own : kOperatorFiles) {
        if (fileName == own) {
            return false;
        }
    }
    const std::string extension = pathFromUtf8(fileName).extension().string();
    return extension == ".mtd" || extension == ".seq";
}

std::error_code seedDataDirectory(const DataDirectory& data) {
    std::error_code error;
    std::filesystem::create_directories(data.dir, error);
    if (error) {
        return error;
    }
    if (data.suppliedFrom.empty() ||
        std::filesystem::equivalent(data.dir, data.suppliedFrom, error)) {
        return {};
    }
    std::error_code first;
    std::filesystem::directory_iterator entries(data.suppliedFrom, error);
    if (error) {
        return error;
    }
    for (const auto& entry : entries) {
        const std::string name = utf8FromPath(entry.path().filename());
        std::error_code ignored;
        if (!entry.is_regular_file(ignored) || !isSuppliedDataFile(name) ||
            std::filesystem::exists(data.dir / name, ignored)) {
            continue;
        }
        std::string content;
        // Copied through a temporary file, so that an interrupted start leaves no half file
        // that would then count as the user's own.
        error = readWholeFile(entry.path(), content, kMaxSuppliedFileBytes);
        if (!error) {
            error = replaceFileContent(data.dir / name, content);
        }
        if (error && !first) {
            first = error;
        }
    }
    return first;
}

} // namespace kqvdr
