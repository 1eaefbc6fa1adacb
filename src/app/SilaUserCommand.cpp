#include "SilaUserCommand.h"

#include "AuditTrail.h"
#include "CommandLine.h"
#include "DataDirectory.h"
#include "DataFolderLock.h"
#include "OperatingSystemUser.h"
#include "PasswordPrompt.h"
#include "SystemClock.h"
#include "UserStore.h"
#include "Utf8Path.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

namespace kqvdr {
namespace {

using remote::RemoteUser;

constexpr std::size_t kMinPasswordLength = 8;
constexpr std::size_t kMaxPasswordLength = 1024;

int fail(int code, const std::string& text) {
    std::fprintf(stderr, "kqvdr1000-control: %s\n", text.c_str());
    return code;
}

// The new password, asked twice on a terminal; nothing, with the reason told, when it is unusable.
std::optional<std::string> newPassword() {
    auto first = readSecretLine("New password: ");
    if (!first) {
        fail(2, "no password was given");
        return std::nullopt;
    }
    if (first->size() < kMinPasswordLength || first->size() > kMaxPasswordLength) {
        fail(2, "a password has " + std::to_string(kMinPasswordLength) + " to " +
                    std::to_string(kMaxPasswordLength) + " characters");
        return std::nullopt;
    }
    if (standardInputIsTerminal()) {
        const auto again = readSecretLine("The same password again: ");
        if (!again || *again != *first) {
            fail(2, "the two passwords differ; nothing was changed");
            return std::nullopt;
        }
    }
    return first;
}

std::optional<remote::PasswordHash> hashOf(const std::string& password) {
    auto hash = remote::hashPassword(password);
    if (!hash) {
        fail(1, "the password cannot be hashed (the system gave no random numbers)");
    }
    return hash;
}

} // namespace

int runSilaUserCommand(const CommandLine& line, int argc, char* argv[]) {
    const std::string& action = *line.silaUserAction;
    const std::string& name = line.silaUserName;
    if (action != "list") {
        if (const auto problem = remote::userNameProblem(name); !problem.empty()) {
            return fail(2, "--sila-user " + action + ": " + problem);
        }
    }
    std::filesystem::path dir;
    {
        // The same data directory the program would use, found the same way.
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("kqvdr1000-control"));
        dir = programDataDirectory(line.programDir).dir;
    }
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    const std::string folder = utf8FromPath(dir);
    // The running server reads its users at start only, and owns the audit trail: changes wait
    // until it has ended.
    DataFolderLock lock;
    const std::string account = operatingSystemUser();
    switch (lock.acquire(dir, account)) {
    case DataFolderLock::Result::Held:
        break;
    case DataFolderLock::Result::HeldByAnother:
        return fail(1, "the program is running on the data folder " + folder + " (process " +
                           std::to_string(lock.holder().processId) +
                           "); close it first, since it reads its users only when it starts");
    case DataFolderLock::Result::Failed:
        return fail(1, "the data folder " + folder + " cannot be locked (" +
                           lock.error().message() + ")");
    }
    remote::UserStore store(dir);
    if (!store.load()) {
        return fail(1, store.error());
    }
    std::vector<RemoteUser> users = store.users();
    const auto found = std::find_if(users.begin(), users.end(),
                                    [&](const RemoteUser& user) { return user.name == name; });
    if (action == "list") {
        if (users.empty()) {
            std::printf("No users: remote control serves only this computer (127.0.0.1).\n");
        }
        for (const RemoteUser& user : users) {
            std::printf("%s %s\n", user.name.c_str(), remote::roleName(user.role));
        }
        return 0;
    }
    AuditEvent event{AuditEventKind::RemoteUserAdded, name, "", ""};
    if (action == "add") {
        const auto role = remote::roleFromName(line.silaUserRole.value_or(""));
        if (!role) {
            return fail(2, "--role needs observer, operator or supervisor");
        }
        if (found != users.end()) {
            return fail(1, "the user " + name +
                               " exists already; --sila-user password changes the password");
        }
        const auto password = newPassword();
        const auto hash = password ? hashOf(*password) : std::nullopt;
        if (!hash) {
            return password ? 1 : 2;
        }
        users.push_back(RemoteUser{name, *role, *hash});
        event.newValue = remote::roleName(*role);
    } else if (found == users.end()) {
        return fail(1, "there is no user " + name);
    } else if (action == "remove") {
        event = {AuditEventKind::RemoteUserRemoved, name, remote::roleName(found->role), ""};
        users.erase(found);
    } else {
        const auto password = newPassword();
        const auto hash = password ? hashOf(*password) : std::nullopt;
        if (!hash) {
            return password ? 1 : 2;
        }
        found->password = *hash;
        event = {AuditEventKind::RemotePasswordChanged, name, "", ""};
    }
    if (!store.save(std::move(users))) {
        return fail(1, store.error());
    }
    const SystemClock clock;
    AuditTrail trail(dir / kAuditFile, clock, account, [](const std::string& reason) {
        std::fprintf(stderr, "kqvdr1000-control: the audit trail cannot be written: %s\n",
                     reason.c_str());
    });
    trail.record(event);
    std::printf("%s: %s %s\n", utf8FromPath(store.file()).c_str(),
                action == "add"      ? "added"
                : action == "remove" ? "removed"
                                     : "new password for",
                name.c_str());
    return 0;
}

} // namespace kqvdr
