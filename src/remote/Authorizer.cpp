#include "Authorizer.h"

#include "FeatureIdentifier.h"
#include "FeatureIds.h"

#include <algorithm>

namespace kqvdr::remote {

std::variant<Caller, SilaFailure>
Authorizer::check(std::string_view token, std::string_view feature, std::string_view call) {
    const auto session = tokens_.use(token);
    if (!session) {
        return definedError(errorId(kAuthorizationServiceFeature, kInvalidAccessToken),
                            "The access token is unknown or has expired; log in again.");
    }
    const auto& features = session->features;
    if (!features.empty() &&
        std::none_of(features.begin(), features.end(), [&](const std::string& granted) {
            return sameIdentifier(granted, feature);
        })) {
        return definedError(errorId(kAuthorizationServiceFeature, kInvalidAccessToken),
                            "The access token was not given for " + std::string(feature) + ".");
    }
    const auto needed = roleNeeded(feature, call);
    if (needed && *needed > session->role) {
        const auto slash = call.find('/');
        const std::string name(slash == std::string_view::npos ? call : call.substr(slash + 1));
        std::string message = name + " needs the role " + roleName(*needed) + "; " + session->user +
                              " has the role " + roleName(session->role) + ".";
        if (!featureDefinesRoleError(feature)) {
            return undefinedError(std::move(message));
        }
        return definedError(std::string(feature) + "/DefinedExecutionError/" + kNotAllowedForRole,
                            std::move(message));
    }
    return Caller{session->user, session->role};
}

std::variant<Caller, SilaFailure> Authorizer::check(std::string_view token,
                                                    std::string_view fullyQualifiedCall) {
    // The feature's identifier is its first four parts.
    std::size_t end = 0;
    for (int part = 0; part < 4 && end != std::string_view::npos; ++part) {
        end = fullyQualifiedCall.find('/', end == 0 ? 0 : end + 1);
    }
    if (end == std::string_view::npos) {
        return check(token, fullyQualifiedCall, "");
    }
    return check(token, fullyQualifiedCall.substr(0, end), fullyQualifiedCall.substr(end + 1));
}

} // namespace kqvdr::remote
