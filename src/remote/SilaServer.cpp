#include "SilaServer.h"

#include "AccessTokenMetadata.h"
#include "CancelControllerService.h"
#include "ConnectionGuard.h"
#include "DetectorControllerService.h"
#include "GrpcLogGate.h"
#include "LockControllerService.h"
#include "MethodStoreService.h"
#include "ProtobufLogGate.h"
#include "SystemTestService.h"

#include <cstdio>
#include <grpcpp/grpcpp.h>
#include <grpcpp/resource_quota.h>

namespace kqvdr::remote {

SilaServer::SilaServer(Settings settings)
    : settings_(std::move(settings)), silaService_(gate_, settings_.uuid, settings_.name,
                                                   settings_.description, settings_.keepName),
      lock_(settings_.lockClock ? *settings_.lockClock : steadyClock_, settings_.auditLock),
      logins_(std::make_unique<LoginService>(settings_.users, tokens_, loginGuard_, settings_.uuid,
                                             settings_.auditLogins)),
      detector_(std::make_unique<DetectorControllerService>(gate_, queue_, board_, streams_)),
      methods_(std::make_unique<MethodStoreService>(gate_, queue_, board_)),
      systemTest_(
          std::make_unique<SystemTestService>(gate_, queue_, board_, streams_, settings_.dataDir)),
      cancel_(std::make_unique<CancelControllerService>(gate_, *systemTest_)),
      lockController_(std::make_unique<LockControllerService>(gate_, lock_, streams_)) {
    // Last of the declarations: the lock's holder is named by an access token's user.
    lockController_->declareMetadata();
}

MetadataGate SilaServer::gateFor(AccessTokens& tokens, bool users) {
    MetadataGate gate;
    if (users) {
        gate.declare(accessTokenDeclaration(tokens));
    }
    return gate;
}

SilaServer::~SilaServer() {
    stop();
}

std::unique_ptr<grpc::Server> SilaServer::build(std::uint16_t port, int& selected) {
    std::shared_ptr<grpc::ServerCredentials> credentials;
    if (settings_.tls) {
        grpc::SslServerCredentialsOptions options;
        options.pem_key_cert_pairs.push_back(
            {settings_.tls->privateKeyPem, settings_.tls->certificatePem});
        if (settings_.clientCertificateAuthority) {
            options.pem_root_certs = *settings_.clientCertificateAuthority;
            options.client_certificate_request =
                GRPC_SSL_REQUEST_AND_REQUIRE_CLIENT_CERTIFICATE_AND_VERIFY;
        }
        credentials = grpc::SslServerCredentials(options);
    } else {
        credentials = grpc::InsecureServerCredentials();
    }
    grpc::ServerBuilder builder;
    builder.AddListeningPort(target(port), credentials, &selected);
    grpc::ResourceQuota quota("sila-server");
    quota.SetMaxThreads(kMaxThreads);
    quota.Resize(kMemoryQuotaBytes);
    builder.SetResourceQuota(quota);
    builder.SetMaxReceiveMessageSize(kMaxMessageBytes);
    builder.AddChannelArgument(GRPC_ARG_MAX_CONCURRENT_STREAMS, kMaxStreamsPerConnection);
    builder.AddChannelArgument(GRPC_ARG_MAX_METADATA_SIZE, kMaxMetadataBytes);
    // A connection that has not finished TLS and HTTP/2's greeting by then is closed.
    builder.AddChannelArgument(GRPC_ARG_SERVER_HANDSHAKE_TIMEOUT_MS, kHandshakeDeadlineMs);
    // A client that vanished without closing its connection is noticed and its streams end.
    builder.AddChannelArgument(GRPC_ARG_KEEPALIVE_TIME_MS, 20000);
    builder.AddChannelArgument(GRPC_ARG_KEEPALIVE_TIMEOUT_MS, 10000);
    builder.AddChannelArgument(GRPC_ARG_KEEPALIVE_PERMIT_WITHOUT_CALLS, 1);
    builder.SetSyncServerOption(grpc::ServerBuilder::SyncServerOption::NUM_CQS, 1);
    builder.SetSyncServerOption(grpc::ServerBuilder::SyncServerOption::MIN_POLLERS, 1);
    builder.SetSyncServerOption(grpc::ServerBuilder::SyncServerOption::MAX_POLLERS, 2);
    builder.RegisterService(&silaService_);
    builder.RegisterService(logins_.get());
    builder.RegisterService(&authorization_);
    builder.RegisterService(detector_.get());
    builder.RegisterService(methods_.get());
    builder.RegisterService(systemTest_.get());
    builder.RegisterService(cancel_.get());
    builder.RegisterService(lockController_.get());
    return builder.BuildAndStart();
}

std::string SilaServer::target(std::uint16_t port) const {
    const bool ipv6 = settings_.address.find(':') != std::string::npos;
    return (ipv6 ? "[" + settings_.address + "]" : settings_.address) + ":" + std::to_string(port);
}

bool SilaServer::start(std::string& error) {
    if (!logGate_) {
        logGate_ = std::make_unique<ProtobufLogGate>(badText_);
        grpcLogGate_ =
            std::make_unique<GrpcLogGate>(failedHandshakes_, acceptErrors_, failedAccepts_);
    }
    int selected = 0;
    std::lock_guard lock(serverMutex_);
    server_ = build(settings_.port, selected);
    if (!server_ || selected == 0) {
        server_.reset();
        error = "the address " + target(settings_.port) +
                " cannot be opened (in use, or not this computer's)";
        return false;
    }
    port_ = static_cast<std::uint16_t>(selected);
    guard_ = std::make_unique<ConnectionGuard>(
        port_, kMaxConnectionsPerAddress, [this] { return restartListener(); },
        [this] { return failedAccepts_.load(); });
    return true;
}

bool SilaServer::restartListener() {
    std::lock_guard lock(serverMutex_);
    if (server_) {
        server_->Shutdown(std::chrono::system_clock::now() + std::chrono::seconds(1));
        server_->Wait();
        server_.reset();
    }
    int selected = 0;
    server_ = build(port_, selected);
    if (!server_ || selected != port_) {
        server_.reset();
        return false;
    }
    std::fprintf(stderr, "kqvdr1000-control: SiLA 2 server: the listener had stopped accepting "
                         "connections (out of descriptors) and was started again\n");
    return true;
}

void SilaServer::stop() {
    guard_.reset();
    board_.close();
    queue_.close();
    lock_.wake();
    {
        std::lock_guard lock(serverMutex_);
        if (server_) {
            server_->Shutdown(std::chrono::system_clock::now() + std::chrono::seconds(1));
            server_->Wait();
            server_.reset();
        }
    }
    grpcLogGate_.reset();
    logGate_.reset();
}

void SilaServer::publish(const LiveValues& values) {
    systemTest_->remember(values);
    lock_.expire();
    board_.publish(values);
    const auto now = std::chrono::steady_clock::now();
    for (FloodCounter* counter : {&badText_, &failedHandshakes_, &acceptErrors_}) {
        if (const auto report = counter->due(now)) {
            std::fprintf(stderr, "kqvdr1000-control: SiLA 2 server: %s\n", report->c_str());
        }
    }
}

} // namespace kqvdr::remote
