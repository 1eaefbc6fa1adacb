#include "UserStore.h"

#include "FileReplace.h"
#include "Utf8Path.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdio>

namespace kqvdr::remote {
namespace {

constexpr std::size_t kMaxFileBytes = 1024 * 1024;

#ifndef _WIN32
std::string octal(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777u);
    return text;
}
#endif

} // namespace

std::string ownerOnlyProblem(const std::filesystem::path& file) {
#ifdef _WIN32
    // TODO(windows): read the file's DACL and refuse entries that grant read to anyone but its
    // owner, SYSTEM and Administrators; comes with the Windows server.
    (void)file;
    return {};
#else
    struct stat facts {};
    if (::stat(file.c_str(), &facts) != 0) {
        return {};
    }
    if ((facts.st_mode & 077) != 0) {
        return "others may read it (mode " + octal(facts.st_mode) +
               "); only its owner may: chmod 600 it";
    }
    return {};
#endif
}

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
        error_ = "The users file " + shown + " cannot be read (" + readError.message() + ").";
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
