#pragma once

#include "AccessTokens.h"
#include "AuditSink.h"
#include "AuthenticationService.grpc.pb.h"
#include "LoginGuard.h"
#include "UserFile.h"

#include <functional>
#include <semaphore>
#include <string>
#include <vector>

namespace kqvdr::remote {

namespace auth = sila2::org::silastandard::core::authenticationservice::v1;

// The standard's AuthenticationService: Login gives an access token for a user of the users
// file, Logout ends it. The password hash runs here, on the gRPC thread, never on the program's:
// a flood of logins costs the tick nothing.
class LoginService final : public auth::AuthenticationService::Service {
public:
    // Told each login, failure, lockout and logout with "name@address", from a gRPC thread.
    using AuditReport = std::function<void(const std::string& who, const AuditEvent& event)>;

    // At most this many hashes at once (each takes 32 MiB); a login beyond waits this long.
    static constexpr std::ptrdiff_t kConcurrentHashes = 2;
    static constexpr std::chrono::seconds kHashWait{5};

    LoginService(std::vector<RemoteUser> users, AccessTokens& tokens, LoginGuard& guard,
                 std::string serverUuid, AuditReport audit);

    grpc::Status Login(grpc::ServerContext* context, const auth::Login_Parameters* request,
                       auth::Login_Responses* response) override;
    grpc::Status Logout(grpc::ServerContext* context, const auth::Logout_Parameters* request,
                        auth::Logout_Responses* response) override;

private:
    // Whether the password is the user's; false for a user that does not exist, after the same
    // work, so the time taken does not tell which names exist.
    bool passwordRight(const RemoteUser* user, const std::string& password);
    void report(const std::string& who, AuditEventKind kind, std::string subject,
                std::string value);

    std::vector<RemoteUser> users_;
    AccessTokens& tokens_;
    LoginGuard& guard_;
    std::string serverUuid_;
    AuditReport audit_;
    PasswordHash decoy_;
    std::counting_semaphore<kConcurrentHashes> hashes_{kConcurrentHashes};
};

} // namespace kqvdr::remote
