#pragma once

#include <string>

namespace kqvdr::remote {

// Fully qualified identifiers of the served features and of what their errors name.
inline constexpr const char* kSilaServiceFeature = "org.silastandard/core/SiLAService/v1";
inline constexpr const char* kDetectorControllerFeature =
    "com.brackwater/detector/DetectorController/v1";
inline constexpr const char* kMethodStoreFeature = "com.brackwater/detector/MethodStore/v1";
inline constexpr const char* kSystemTestFeature = "com.brackwater/detector/SystemTest/v1";
inline constexpr const char* kAuthenticationServiceFeature =
    "org.silastandard/core/AuthenticationService/v1";
inline constexpr const char* kAuthorizationServiceFeature =
    "org.silastandard/core/AuthorizationService/v1";
inline constexpr const char* kCancelControllerFeature =
    "org.silastandard/core.commands/CancelController/v1";
inline constexpr const char* kLockControllerFeature = "org.silastandard/core/LockController/v2";

inline std::string commandId(const char* feature, const char* command) {
    return std::string(feature) + "/Command/" + command;
}
inline std::string propertyId(const char* feature, const char* property) {
    return std::string(feature) + "/Property/" + property;
}
inline std::string parameterId(const char* feature, const char* command, const char* parameter) {
    return std::string(feature) + "/Command/" + command + "/Parameter/" + parameter;
}
inline std::string errorId(const char* feature, const char* error) {
    return std::string(feature) + "/DefinedExecutionError/" + error;
}

// The defined execution errors the instrument features share.
inline constexpr const char* kInstrumentNotConnected = "InstrumentNotConnected";
inline constexpr const char* kControlledByRun = "ControlledByRun";
inline constexpr const char* kPanelInUse = "PanelInUse";
inline constexpr const char* kNotAllowedForRole = "NotAllowedForRole";

// The authentication features' errors.
inline constexpr const char* kAuthenticationFailed = "AuthenticationFailed";
inline constexpr const char* kInvalidAccessToken = "InvalidAccessToken";

// The lock's errors.
inline constexpr const char* kServerAlreadyLocked = "ServerAlreadyLocked";
inline constexpr const char* kServerNotLocked = "ServerNotLocked";
inline constexpr const char* kInvalidLockIdentifier = "InvalidLockIdentifier";

} // namespace kqvdr::remote
