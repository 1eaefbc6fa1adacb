#include "UserStore.h"

#include "FileReplace.h"
#include "OwnerOnlyFile.h"
#include "Utf8Path.h"

namespace kqvdr::remote {
namespace {

constexpr std::size_t kMaxFileBytes = 1024 * 1024;

} // namespace

UserStore::UserStore(std::filesystem::path dataDirectory)
    : dataDirectory_(std::move(dataDirectory)) {}

bool UserStore::load() {
    users_.clear();
    error_.clear();
    const auto path = file();
    const std::string shown = utf8FromPath(path);
    std::error_code lookError;
    const bool there = std::filesystem::exists(path, lookError);
    if (lookError) {
        error_ = "The users file " + shown + " cannot be looked at (" + lookError.message() + ").";
        return false;
    }
    if (!there) {
        return true;
    }
    if (const auto problem = ownerOnlyProblem(path); !problem.empty()) {
        error_ = "The users file " + shown + " is not private: " + problem + ".";
        return false;
    }
    std::string text;
    if (const auto readError = readWholeFile(path, text, kMaxFileBytes)) {
        error_ = "The users file " + shown + " cannot be read (" + readError.message() + ")." +
                 privateFileAdvice(readError);
        return false;
    }
    std::string problem;
    auto users = parseUserFile(text, problem);
    if (!users) {
        error_ = "The users file " + shown + " is damaged (" + problem +
                 "). Repair it, or remove it and add the users again with --sila-user add.";
        return false;
    }
    users_ = std::move(*users);
    return true;
}

bool UserStore::save(std::vector<RemoteUser> users) {
    error_.clear();
    if (const auto writeError = replaceFileContent(file(), userFileText(users),
                                                   systemFileWriteCalls(), FileAccess::OwnerOnly)) {
        error_ = "The users file " + utf8FromPath(file()) + " cannot be written (" +
                 writeError.message() + ").";
        return false;
    }
    users_ = std::move(users);
    return true;
}

} // namespace kqvdr::remote
