#include "Authorizer.h"

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
        return definedError(std::string(feature) + "/DefinedExecutionError/" + kNotAllowedForRole,
                            name + " needs the role " + roleName(*needed) + "; " + session->user +
                                " has the role " + roleName(session->role) + ".");
    }
    return Caller{session->user, session->role};
}

} // namespace kqvdr::remote
