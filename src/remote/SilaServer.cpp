#include "SilaServer.h"

#include "DetectorControllerService.h"
#include "MethodStoreService.h"
#include "SystemTestService.h"

#include <grpcpp/grpcpp.h>
#include <grpcpp/resource_quota.h>

namespace kqvdr::remote {

SilaServer::SilaServer(Settings settings)
    : settings_(std::move(settings)), silaService_(gate_, settings_.uuid, settings_.name,
                                                   settings_.description, settings_.keepName),
      logins_(std::make_unique<LoginService>(settings_.users, tokens_, loginGuard_, settings_.uuid,
                                             settings_.auditLogins)),
      detector_(std::make_unique<DetectorControllerService>(gate_, queue_, board_, streams_)),
      methods_(std::make_unique<MethodStoreService>(gate_, queue_, board_)),
      systemTest_(std::make_unique<SystemTestService>(gate_, queue_, board_, streams_)) {}

SilaServer::~SilaServer() {
    stop();
}

void SilaServer::publish(const LiveValues& values) {
    systemTest_->remember(values);
    board_.publish(values);
}

bool SilaServer::start(std::string& error) {
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
    int selected = 0;
    const std::string target =
        (settings_.address.find(':') != std::string::npos ? "[" + settings_.address + "]"
                                                          : settings_.address) +
        ":" + std::to_string(settings_.port);
    builder.AddListeningPort(target, credentials, &selected);
    grpc::ResourceQuota quota("sila-server");
    quota.SetMaxThreads(kMaxThreads);
    builder.SetResourceQuota(quota);
    builder.SetMaxReceiveMessageSize(kMaxMessageBytes);
    builder.AddChannelArgument(GRPC_ARG_MAX_CONCURRENT_STREAMS, kMaxStreamsPerConnection);
    // A client that vanished without closing its connection is noticed and its streams end.
    builder.AddChannelArgument(GRPC_ARG_KEEPALIVE_TIME_MS, 20000);
    builder.AddChannelArgument(GRPC_ARG_KEEPALIVE_TIMEOUT_MS, 10000);
    builder.AddChannelArgument(GRPC_ARG_KEEPALIVE_PERMIT_WITHOUT_CALLS, 1);
    builder.SetSyncServerOption(grpc::ServerBuilder::SyncServerOption::NUM_CQS, 1);
    builder.SetSyncServerOption(grpc::ServerBuilder::SyncServerOption::MIN_POLLERS, 1);
    builder.SetSyncServerOption(grpc::ServerBuilder::SyncServerOption::MAX_POLLERS, 2);
    builder.RegisterService(&silaService_);
    builder.RegisterService(logins_.get());
    builder.RegisterService(detector_.get());
    builder.RegisterService(methods_.get());
    builder.RegisterService(systemTest_.get());
    server_ = builder.BuildAndStart();
    if (!server_ || selected == 0) {
        server_.reset();
        error = "the address " + target + " cannot be opened (in use, or not this computer's)";
        return false;
    }
    port_ = static_cast<std::uint16_t>(selected);
    return true;
}

void SilaServer::stop() {
    board_.close();
    queue_.close();
    if (server_) {
        server_->Shutdown(std::chrono::system_clock::now() + std::chrono::seconds(1));
        server_->Wait();
        server_.reset();
    }
}

} // namespace kqvdr::remote
