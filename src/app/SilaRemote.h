#pragma once

#include "CommandLine.h"
#include "SessionRemoteInstrument.h"
#include "SilaServer.h"

#include <QObject>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace kqvdr {

class ControlSession;
class Discovery;
class PanelLock;
class QtSystemTestWindows;

// The SiLA 2 server as the program runs it: its identity and certificate from the data
// directory (or the laboratory's own), its commands taken at every tick, the live values
// published after it, and its announcement on the network.
class SilaRemote : public QObject {
    Q_OBJECT
public:
    SilaRemote(ControlSession& session, QtSystemTestWindows& systemTest,
               std::filesystem::path dataDir);
    ~SilaRemote() override;

    // False, with the reason, when the server cannot run as asked.
    bool start(const CommandLine& line, std::string& error);

    // For the Tools menu's window: label and value, one row each.
    std::vector<std::pair<std::string, std::string>> statusRows() const;
    std::uint16_t port() const { return server_ ? server_->port() : 0; }
    std::size_t waitingCommands() const { return server_ ? server_->waitingCommands() : 0; }

    // The panel follows the server's lock at every tick.
    void followLockIn(PanelLock& panel) { panel_ = &panel; }
    // Who holds the server's lock; nothing when nobody does.
    std::optional<std::string> lockHolder() const;
    // A person at the panel ends a client's lock (audited); false when there was none.
    bool releaseLock();

private:
    // Announces the server under the name it has now, withdrawing an earlier announcement.
    void announce();
    // Who may log in, and whether the server may run with them where it is asked to listen.
    bool loadUsers(const CommandLine& line, remote::SilaServer::Settings& settings,
                   std::string& error);
    // Logins happen on gRPC threads; the audit trail is written on the program's.
    void queueLoginAudit(const std::string& who, const AuditEvent& event);
    void recordLoginAudits();
    std::string loggedIn() const;
    void followLock();

    ControlSession& session_;
    SessionRemoteInstrument instrument_;
    std::filesystem::path dataDir_;
    std::unique_ptr<remote::SilaServer> server_;
    std::unique_ptr<Discovery> discovery_;
    PanelLock* panel_ = nullptr;
    std::string announcedName_;
    std::string certificateAuthority_;
    std::string uuid_;
    std::string fingerprint_;
    bool selfSigned_ = false;
    std::mutex loginAuditMutex_;
    std::vector<std::pair<std::string, AuditEvent>> loginAudits_;
};

} // namespace kqvdr
