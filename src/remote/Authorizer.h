#pragma once

#include "AccessTokens.h"
#include "SilaFailure.h"

#include <string_view>
#include <variant>

namespace kqvdr::remote {

// Who makes a call, as the token says.
struct Caller {
    std::string name;
    Role role = Role::Observer;
};

// Decides whether a call with an access token may go ahead. The client-metadata gate asks it for
// every call of a feature that needs a token.
class Authorizer {
public:
    explicit Authorizer(AccessTokens& tokens) : tokens_(tokens) {}

    // The caller, or the failure to answer with: AuthorizationService's InvalidAccessToken for an
    // unknown or expired token or one not given for this feature, the called feature's
    // NotAllowedForRole (naming the role needed) for a call beyond the user's role, or an
    // undefined execution error naming it where the feature cannot declare that error. `call` is
    // "Command/X" or "Property/X".
    std::variant<Caller, SilaFailure> check(std::string_view token, std::string_view feature,
                                            std::string_view call);
    // The same for a fully qualified command or property identifier, as the metadata gate names
    // calls ("originator/category/Feature/v1/Command/X").
    std::variant<Caller, SilaFailure> check(std::string_view token,
                                            std::string_view fullyQualifiedCall);

private:
    AccessTokens& tokens_;
};

} // namespace kqvdr::remote
