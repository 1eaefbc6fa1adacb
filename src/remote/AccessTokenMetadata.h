#pragma once

#include "MetadataGate.h"

#include <string>
#include <vector>

namespace kqvdr::remote {

class AccessTokens;

inline constexpr const char* kAccessTokenMetadata =
    "org.silastandard/core/AuthorizationService/v1/Metadata/AccessToken";

// What the AccessToken metadata leaves behind in an admission: the caller's user name and role
// name, and a digest that tells one session from another without holding its token.
inline constexpr const char* kUserFact = "user";
inline constexpr const char* kRoleFact = "role";
inline constexpr const char* kSessionFact = "session";

// Every served feature whose calls need the token, in the order they are served.
std::vector<std::string> featuresNeedingToken();

// The standard's AccessToken metadata on every feature that needs it: a call without it is the
// gate's Invalid Metadata, an unknown or expired token AuthorizationService's InvalidAccessToken,
// a call beyond the user's role refused naming the role needed; an admitted call learns who makes
// it. Declared first, so that later metadata (the lock) can read who the caller is.
MetadataGate::Declaration accessTokenDeclaration(AccessTokens& tokens);

} // namespace kqvdr::remote
