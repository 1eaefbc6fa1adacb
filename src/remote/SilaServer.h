#pragma once

#include "AccessTokens.h"
#include "CommandQueue.h"
#include "MetadataGate.h"
#include "LoginGuard.h"
#include "LoginService.h"
#include "ServerDescription.h"
#include "SilaServiceImpl.h"
#include "SnapshotBoard.h"
#include "StreamLimit.h"
#include "SystemSteadyClock.h"
#include "UserFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace grpc {
class Server;
}

namespace kqvdr::remote {

class DetectorControllerService;
class MethodStoreService;
class SystemTestService;

// The SiLA 2 server in the program. Its gRPC threads never touch the program's state: commands
// wait in the queue until the tick drains it, and subscriptions read what the tick publishes.
class SilaServer {
public:
    struct KeyPair {
        std::string privateKeyPem;
        std::string certificatePem;
    };
    struct Settings {
        std::string address = "127.0.0.1";
        std::uint16_t port = 0;     // 0: any free port, see port()
        std::optional<KeyPair> tls; // plain text without one
        std::string uuid;
        std::string name;
        ServerDescription description;
        SilaServiceImpl::NameKeeper keepName;
        // Who may log in; none: every login fails.
        std::vector<RemoteUser> users;
        // With TLS: every client must show a certificate this authority signed (PEM).
        std::optional<std::string> clientCertificateAuthority;
        LoginService::AuditReport auditLogins;
    };

    // Bounds that keep misbehaving clients from disturbing the program.
    static constexpr int kMaxThreads = 160;
    static constexpr std::size_t kMaxStreams = 120;
    static constexpr int kMaxStreamsPerConnection = 100;
    static constexpr int kMaxMessageBytes = 64 * 1024;

    explicit SilaServer(Settings settings);
    ~SilaServer();
    SilaServer(const SilaServer&) = delete;
    SilaServer& operator=(const SilaServer&) = delete;

    // False, with the reason, when the port cannot be opened.
    bool start(std::string& error);
    void stop();

    // The SiLA client metadata features declare; declarations are made before start().
    MetadataGate& metadata() { return gate_; }

    // On the program's thread: at every tick, before its work ...
    void takeCommands(RemoteInstrument& instrument) { queue_.drain(instrument); }
    // ... and after it.
    void publish(const LiveValues& values);

    std::uint16_t port() const { return port_; }
    const std::string& address() const { return settings_.address; }
    bool secure() const { return settings_.tls.has_value(); }
    std::string serverName() const { return silaService_.serverName(); }
    std::size_t openStreams() const { return streams_.open(); }
    // Commands that wait for the next tick.
    std::size_t waitingCommands() const { return queue_.pending(); }
    // The logged-in sessions; the client-metadata gate checks tokens against these.
    AccessTokens& tokens() { return tokens_; }
    const AccessTokens& tokens() const { return tokens_; }

private:
    Settings settings_;
    MetadataGate gate_;
    CommandQueue queue_;
    SnapshotBoard board_;
    StreamLimit streams_{kMaxStreams};
    SilaServiceImpl silaService_;
    SystemSteadyClock steadyClock_;
    AccessTokens tokens_{steadyClock_};
    LoginGuard loginGuard_{steadyClock_};
    std::unique_ptr<LoginService> logins_;
    std::unique_ptr<DetectorControllerService> detector_;
    std::unique_ptr<MethodStoreService> methods_;
    std::unique_ptr<SystemTestService> systemTest_;
    std::unique_ptr<grpc::Server> server_;
    std::uint16_t port_ = 0;
};

} // namespace kqvdr::remote
