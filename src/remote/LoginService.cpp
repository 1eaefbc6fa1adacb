#include "LoginService.h"

#include "FeatureDefinitions.h"
#include "FeatureIds.h"
#include "PeerAddress.h"
#include "SilaStatus.h"
#include "Uuid.h"

#include <algorithm>

namespace kqvdr::remote {
namespace {

std::string loginParameter(const char* name) {
    return parameterId(kAuthenticationServiceFeature, "Login", name);
}

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    return result;
}

// The served feature's identifier as it is served, for one named in any case.
std::optional<std::string> servedFeature(std::string_view requested) {
    const std::string wanted = lower(requested);
    for (const auto& feature : featureDefinitions()) {
        if (lower(feature.identifier) == wanted) {
            return std::string(feature.identifier);
        }
    }
    return std::nullopt;
}

grpc::Status authenticationFailed(const std::string& message) {
    return silaStatus(
        definedError(errorId(kAuthenticationServiceFeature, kAuthenticationFailed), message));
}

// A name as the audit trail shows it: what a client sent, never more than a line's worth.
std::string shownName(const std::string& name) {
    return name.size() <= 64 ? name : name.substr(0, 64) + "...";
}

} // namespace

LoginService::LoginService(std::vector<RemoteUser> users, AccessTokens& tokens, LoginGuard& guard,
                           std::string serverUuid, AuditReport audit)
    : users_(std::move(users)), tokens_(tokens), guard_(guard), serverUuid_(std::move(serverUuid)),
      audit_(std::move(audit)) {
    // A fixed hash at the cost the users have, so an unknown name costs what a known one does.
    const ScryptCost cost = users_.empty() ? kDefaultScryptCost : users_.front().password.cost;
    decoy_ = PasswordHash{cost, std::string(kSaltBytes, 's'), std::string(kHashBytes, 'h')};
}

void LoginService::report(const std::string& who, AuditEventKind kind, std::string subject,
                          std::string value) {
    if (audit_) {
        audit_(who, AuditEvent{kind, std::move(subject), "", std::move(value)});
    }
}

bool LoginService::passwordRight(const RemoteUser* user, const std::string& password) {
    if (user == nullptr) {
        (void)passwordMatches(decoy_, password);
        return false;
    }
    return passwordMatches(user->password, password);
}

grpc::Status LoginService::Login(grpc::ServerContext* context,
                                 const auth::Login_Parameters* request,
                                 auth::Login_Responses* response) {
    for (const auto& [present, name] :
         {std::pair{request->has_useridentification(), "UserIdentification"},
          std::pair{request->has_password(), "Password"},
          std::pair{request->has_requestedserver(), "RequestedServer"}}) {
        if (!present) {
            return silaStatus(validationError(loginParameter(name), "The parameter is missing."));
        }
    }
    const auto requestedServer = canonicalUuid(request->requestedserver().value());
    if (!requestedServer) {
        return silaStatus(validationError(loginParameter("RequestedServer"),
                                          "The requested server is not a UUID."));
    }
    std::vector<std::string> features;
    for (const auto& requested : request->requestedfeatures()) {
        auto feature = servedFeature(requested.value());
        if (!feature) {
            return silaStatus(validationError(loginParameter("RequestedFeatures"),
                                              "This server implements no feature \"" +
                                                  requested.value() + "\"."));
        }
        features.push_back(std::move(*feature));
    }
    const std::string name = request->useridentification().value();
    const std::string address = peerAddress(context->peer());
    const std::string who = shownName(name) + "@" + address;
    if (*requestedServer != serverUuid_) {
        report(who, AuditEventKind::RemoteLoginFailed, shownName(name), "for another server");
        return authenticationFailed("This is the server " + serverUuid_ + ", not " +
                                    *requestedServer + ".");
    }
    if (guard_.locked(name, address).any()) {
        return authenticationFailed("Too many failed logins for this name or from this address; "
                                    "try again in " +
                                    std::to_string(LoginGuard::kLockout.count()) + " minutes.");
    }
    const auto user = std::find_if(users_.begin(), users_.end(),
                                   [&](const RemoteUser& known) { return known.name == name; });
    if (!hashes_.try_acquire_for(kHashWait)) {
        return silaStatus(undefinedError("Too many logins at once; try again."));
    }
    const bool right =
        passwordRight(user == users_.end() ? nullptr : &*user, request->password().value());
    hashes_.release();
    if (!right) {
        report(who, AuditEventKind::RemoteLoginFailed, shownName(name), "wrong name or password");
        const auto locks = guard_.failed(name, address);
        if (locks.name) {
            report(who, AuditEventKind::RemoteLockout, "name " + shownName(name),
                   "locked out for 5 minutes");
        }
        if (locks.address) {
            report(who, AuditEventKind::RemoteLockout, "address " + address,
                   "locked out for 5 minutes");
        }
        return authenticationFailed("The user name or the password is wrong.");
    }
    guard_.succeeded(name);
    const auto token = tokens_.issue(Session{user->name, user->role, address, features, {}});
    if (!token) {
        return silaStatus(undefinedError("The system gave no random numbers for a token."));
    }
    report(who, AuditEventKind::RemoteLogin, user->name, roleName(user->role));
    response->mutable_accesstoken()->set_value(*token);
    response->mutable_tokenlifetime()->set_value(AccessTokens::kLifetime.count());
    return grpc::Status::OK;
}

grpc::Status LoginService::Logout(grpc::ServerContext* context,
                                  const auth::Logout_Parameters* request, auth::Logout_Responses*) {
    if (!request->has_accesstoken()) {
        return silaStatus(
            validationError(parameterId(kAuthenticationServiceFeature, "Logout", "AccessToken"),
                            "The parameter is missing."));
    }
    const auto session = tokens_.end(request->accesstoken().value());
    if (!session) {
        return silaStatus(definedError(errorId(kAuthenticationServiceFeature, kInvalidAccessToken),
                                       "The access token is unknown or has expired."));
    }
    report(session->user + "@" + peerAddress(context->peer()), AuditEventKind::RemoteLogout,
           session->user, "");
    return grpc::Status::OK;
}

} // namespace kqvdr::remote
