#include "Role.h"

#include "FeatureIdentifier.h"
#include "FeatureIds.h"

#include <algorithm>

namespace kqvdr::remote {
namespace {

// The standard's lock and cancel features, by the identifiers the standard gives them.
constexpr const char* kStandardLockController = "org.silastandard/core/LockController/v2";
constexpr const char* kStandardCancelController =
    "org.silastandard/core.commands/CancelController/v1";

} // namespace

const char* roleName(Role role) {
    switch (role) {
    case Role::Observer:
        return "observer";
    case Role::Operator:
        return "operator";
    case Role::Supervisor:
        return "supervisor";
    }
    return "supervisor";
}

std::optional<Role> roleFromName(std::string_view name) {
    for (const Role role : {Role::Observer, Role::Operator, Role::Supervisor}) {
        if (name == roleName(role)) {
            return role;
        }
    }
    return std::nullopt;
}

const std::vector<CallRole>& roleTable() {
    static const std::vector<CallRole> table = {
        {kDetectorControllerFeature, "Command/SetMode", Role::Operator},
        {kDetectorControllerFeature, "Command/SelectMethod", Role::Operator},
        {kDetectorControllerFeature, "Command/Autozero", Role::Operator},
        {kDetectorControllerFeature, "Command/SetTransferLine", Role::Operator},
        {kDetectorControllerFeature, "Command/ClearFault", Role::Operator},
        {kMethodStoreFeature, "Command/GetMethod", Role::Observer},
        {kMethodStoreFeature, "Command/StoreMethod", Role::Supervisor},
        {kMethodStoreFeature, "Command/SendMethod", Role::Supervisor},
        {kSystemTestFeature, "Command/RunSystemTest", Role::Operator},
        {kSystemTestFeature, "Command/AnalyzeLog", Role::Observer},
        {kStandardLockController, "Command/LockServer", Role::Operator},
        {kStandardLockController, "Command/UnlockServer", Role::Operator},
        {kStandardCancelController, "Command/CancelCommand", Role::Operator},
        {kStandardCancelController, "Command/CancelAll", Role::Operator},
    };
    return table;
}

bool featureNeedsToken(std::string_view feature) {
    // Everything else, so that a feature added later is never open by oversight.
    return !sameIdentifier(feature, kSilaServiceFeature) &&
           !sameIdentifier(feature, kAuthenticationServiceFeature) &&
           !sameIdentifier(feature, kAuthorizationServiceFeature);
}

bool featureDefinesRoleError(std::string_view feature) {
    constexpr std::string_view standard = "org.silastandard/";
    return !(feature.size() >= standard.size() &&
             sameIdentifier(feature.substr(0, standard.size()), standard));
}

std::optional<Role> roleNeeded(std::string_view feature, std::string_view call) {
    if (!featureNeedsToken(feature)) {
        return std::nullopt;
    }
    if (call.starts_with("Property/")) {
        return Role::Observer;
    }
    const auto& table = roleTable();
    const auto found = std::find_if(table.begin(), table.end(), [&](const CallRole& entry) {
        return sameIdentifier(entry.feature, feature) && sameIdentifier(entry.call, call);
    });
    return found == table.end() ? Role::Supervisor : found->role;
}

} // namespace kqvdr::remote
