#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr::remote {

// What a remote user may do, each role everything the one before it may.
enum class Role { Observer, Operator, Supervisor };

const char* roleName(Role role);
std::optional<Role> roleFromName(std::string_view name);

// One call of a served feature: the feature's fully qualified identifier and "Command/X" or
// "Property/X".
struct CallRole {
    std::string_view feature;
    std::string_view call;
    Role role;
};

// Every command of the served features that need a token, with the role it needs. Properties
// need observer.
const std::vector<CallRole>& roleTable();

// The role a call needs; nothing for a call of a feature that needs no access token (SiLAService
// and the two authentication features). A command missing from the table needs supervisor, so a
// new command is never open by oversight.
std::optional<Role> roleNeeded(std::string_view feature, std::string_view call);

// Whether a feature's calls need an access token: all but SiLAService and the two
// authentication features.
bool featureNeedsToken(std::string_view feature);

// Whether the feature's definition declares NotAllowedForRole. The standard's own features keep
// their definitions exactly as the standard wrote them, without it.
bool featureDefinesRoleError(std::string_view feature);

} // namespace kqvdr::remote
