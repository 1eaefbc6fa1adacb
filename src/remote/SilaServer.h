#pragma once

#include "AccessTokens.h"
#include "AuthorizationServiceImpl.h"
#include "CommandQueue.h"
#include "FloodCounter.h"
#include "LoginGuard.h"
#include "LoginService.h"
#include "MetadataGate.h"
#include "ServerDescription.h"
#include "ServerLock.h"
#include "SilaServiceImpl.h"
#include "SnapshotBoard.h"
#include "StreamLimit.h"
#include "SystemSteadyClock.h"
#include "UserFile.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace grpc {
class Server;
}

namespace kqvdr::remote {

class CancelControllerService;
class ConnectionGuard;
class DetectorControllerService;
class GrpcLogGate;
class LockControllerService;
class ProtobufLogGate;
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
        // Told when the lock is taken, ends or refuses a call, from a gRPC thread.
        ServerLock::AuditReport auditLock;
        // What the lock's timeout goes by; the computer's steady clock when none.
        const SteadyClock* lockClock = nullptr;
        std::filesystem::path dataDir; // the system test logs AnalyzeLog may read
    };

    // Bounds that keep misbehaving clients from disturbing the program.
    static constexpr int kMaxThreads = 300;
    static constexpr std::size_t kMaxStreams = 240;
    static constexpr std::size_t kMaxStreamsPerClient = 100;
    static constexpr int kMaxStreamsPerConnection = 32;
    static constexpr int kMaxMessageBytes = 64 * 1024;
    static constexpr int kMaxMetadataBytes = 16 * 1024;
    static constexpr std::size_t kMemoryQuotaBytes = 64 * 1024 * 1024;
    static constexpr int kHandshakeDeadlineMs = 10000;
    static constexpr std::size_t kMaxConnectionsPerAddress = 32;

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
    // The lock a client may hold; the panel reads its holder and may release it.
    ServerLock& lock() { return lock_; }
    const ServerLock& lock() const { return lock_; }

private:
    std::unique_ptr<grpc::Server> build(std::uint16_t port, int& selected);
    std::string target(std::uint16_t port) const;
    // On the guard's thread: a new listener on the same port, every call and connection of the
    // old one ended. False when it cannot be opened yet (descriptors still short).
    bool restartListener();

    // With users, a gate whose first declaration is the access token: metadata the features
    // declare later may read who the caller is.
    static MetadataGate gateFor(AccessTokens& tokens, bool users);

    Settings settings_;
    SystemSteadyClock steadyClock_;
    AccessTokens tokens_{steadyClock_};
    MetadataGate gate_ = gateFor(tokens_, !settings_.users.empty());
    CommandQueue queue_;
    SnapshotBoard board_;
    StreamLimit streams_{kMaxStreams, kMaxStreamsPerClient, board_};
    SilaServiceImpl silaService_;
    AuthorizationServiceImpl authorization_{gate_};
    LoginGuard loginGuard_{steadyClock_};
    ServerLock lock_;
    std::unique_ptr<LoginService> logins_;
    std::unique_ptr<DetectorControllerService> detector_;
    std::unique_ptr<MethodStoreService> methods_;
    std::unique_ptr<SystemTestService> systemTest_;
    std::unique_ptr<CancelControllerService> cancel_;
    std::unique_ptr<LockControllerService> lockController_;
    FloodCounter badText_{"requests with invalid UTF-8", std::chrono::steady_clock::now()};
    FloodCounter failedHandshakes_{"connections that failed the TLS handshake",
                                   std::chrono::steady_clock::now()};
    FloodCounter acceptErrors_{"connections whose accept ended with an error",
                               std::chrono::steady_clock::now()};
    std::atomic<std::uint64_t> failedAccepts_{0};
    std::unique_ptr<ProtobufLogGate> logGate_;
    std::unique_ptr<GrpcLogGate> grpcLogGate_;
    std::mutex serverMutex_;
    std::unique_ptr<grpc::Server> server_;
    std::unique_ptr<ConnectionGuard> guard_;
    std::uint16_t port_ = 0;
};

} // namespace kqvdr::remote
