#pragma once

#include "UserFile.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kqvdr::remote {

// The users file in the data folder. A file that is there but damaged, readable by others or
// unreadable is never rewritten or worked around: the server does not start until someone
// repairs it. Used from one thread.
class UserStore {
public:
    explicit UserStore(std::filesystem::path dataDirectory);

    // True with the users (none when there is no file); false and error() when the file cannot
    // be used.
    bool load();
    const std::vector<RemoteUser>& users() const { return users_; }
    const std::string& error() const { return error_; }

    // Replaces the file with these users, readable by its owner only; false and error().
    bool save(std::vector<RemoteUser> users);

    std::filesystem::path file() const { return dataDirectory_ / kUserFile; }

private:
    std::filesystem::path dataDirectory_;
    std::vector<RemoteUser> users_;
    std::string error_;
};

} // namespace kqvdr::remote
