#include "DataDirectory.h"

#include "FileReplace.h"
#include "SuppliedFiles.h"
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

std::error_code seedDataDirectory(const DataDirectory& data,
                                  std::vector<std::string>* keptOverNewer) {
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
    SuppliedRecord record = SuppliedRecord::read(data.dir);
    for (const auto& entry : entries) {
        const std::string name = utf8FromPath(entry.path().filename());
        std::error_code ignored;
        if (!entry.is_regular_file(ignored) || !isSuppliedDataFile(name)) {
            continue;
        }
        std::string supplied;
        error = readWholeFile(entry.path(), supplied, kMaxSuppliedFileBytes);
        std::optional<std::string> usersSum;
        if (!error && std::filesystem::exists(data.dir / name, ignored)) {
            std::string users;
            // A copy that cannot be read is left alone.
            if (readWholeFile(data.dir / name, users, kMaxSuppliedFileBytes)) {
                continue;
            }
            usersSum = sha256Hex(users);
        }
        const std::string suppliedSum = sha256Hex(supplied);
        switch (error ? SuppliedFileAction::KeepOwn
                      : suppliedFileAction(usersSum, suppliedSum, record.sumOf(name))) {
        case SuppliedFileAction::Copy:
        case SuppliedFileAction::Update:
            // Copied through a temporary file, so that an interrupted start leaves no half
            // file that would then count as the user's own.
            error = replaceFileContent(data.dir / name, supplied);
            if (!error) {
                record.set(name, suppliedSum);
            }
            break;
        case SuppliedFileAction::KeepOwnAndTell:
            if (keptOverNewer != nullptr) {
                keptOverNewer->push_back(name);
            }
            record.set(name, suppliedSum);
            break;
        case SuppliedFileAction::UpToDate:
            record.set(name, suppliedSum);
            break;
        case SuppliedFileAction::KeepOwn:
            break;
        }
        if (error && !first) {
            first = error;
        }
    }
    if (record.changed()) {
        error = record.write(data.dir);
        if (error && !first) {
            first = error;
        }
    }
    return first;
}

} // namespace kqvdr
