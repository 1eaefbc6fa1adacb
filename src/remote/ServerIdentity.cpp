#include "ServerIdentity.h"

#include "FileReplace.h"
#include "ServerIdentityFile.h"
#include "ServerName.h"
#include "Utf8Path.h"
#include "Uuid.h"

namespace kqvdr {
namespace {

constexpr std::size_t kMaxFileBytes = 64 * 1024;

} // namespace

ServerIdentityStore::ServerIdentityStore(std::filesystem::path dataDirectory)
    : dataDirectory_(std::move(dataDirectory)) {}

std::filesystem::path ServerIdentityStore::file() const {
    return dataDirectory_ / kServerIdentityFile;
}

ServerIdentity ServerIdentityStore::loadOrCreate() {
    if (!identity_.uuid.empty()) {
        return identity_;
    }
    error_.clear();
    const auto path = file();
    std::error_code lookError;
    const bool there = std::filesystem::exists(path, lookError);
    if (lookError) {
        error_ = "The server identity " + utf8FromPath(path) + " cannot be looked at (" +
                 lookError.message() + ").";
        return {};
    }
    if (!there) {
        const auto uuid = newRandomUuid();
        if (!uuid) {
            error_ = "The system gave no random numbers for a new server UUID.";
            return {};
        }
        const ServerIdentity fresh{*uuid, kDefaultServerName};
        if (const auto writeError = replaceFileContent(path, identityFileText(fresh))) {
            error_ = "The server identity cannot be stored in " + utf8FromPath(path) + " (" +
                     writeError.message() + ").";
            return {};
        }
        identity_ = fresh;
        return identity_;
    }
    std::string text;
    if (const auto readError = readWholeFile(path, text, kMaxFileBytes)) {
        error_ = "The server identity " + utf8FromPath(path) + " cannot be read (" +
                 readError.message() + "). The server does not start with a new UUID over it.";
        return {};
    }
    std::string problem;
    const auto loaded = parseIdentityFile(text, problem);
    if (!loaded) {
        error_ = "The server identity " + utf8FromPath(path) + " is damaged (" + problem +
                 "). Repair it, or remove it to give the server a new UUID that clients do "
                 "not know yet.";
        return {};
    }
    identity_ = *loaded;
    return identity_;
}

bool ServerIdentityStore::setName(const std::string& name, std::string& error) {
    if (auto problem = serverNameProblem(name); !problem.empty()) {
        error = std::move(problem);
        return false;
    }
    if (loadOrCreate().uuid.empty()) {
        error = error_;
        return false;
    }
    ServerIdentity renamed = identity_;
    renamed.name = name;
    if (const auto writeError = replaceFileContent(file(), identityFileText(renamed))) {
        error = "The server name cannot be stored in " + utf8FromPath(file()) + " (" +
                writeError.message() + ").";
        return false;
    }
    identity_ = std::move(renamed);
    return true;
}

} // namespace kqvdr
