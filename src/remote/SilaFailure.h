#pragma once

#include <optional>
#include <string>

namespace kqvdr::remote {

// The framework's own errors: a client that used the server against the standard's rules.
enum class FrameworkErrorType {
    CommandExecutionNotAccepted,
    InvalidExecutionUuid,
    ExecutionNotFinished,
    InvalidMetadata,
    NoMetadataAllowed,
};

// Why a remote call failed, in the kinds a SiLA client tells apart.
struct SilaFailure {
    enum class Kind { Validation, DefinedExecution, UndefinedExecution, Framework };
    Kind kind = Kind::UndefinedExecution;
    // The parameter's fully qualified identifier for a validation error, the error's for a
    // defined one; empty for the others.
    std::string identifier;
    std::string message;
    FrameworkErrorType framework = FrameworkErrorType::CommandExecutionNotAccepted;
};

// Nothing when the call succeeded.
using Outcome = std::optional<SilaFailure>;

inline SilaFailure validationError(std::string parameter, std::string message) {
    return {SilaFailure::Kind::Validation, std::move(parameter), std::move(message)};
}
inline SilaFailure definedError(std::string error, std::string message) {
    return {SilaFailure::Kind::DefinedExecution, std::move(error), std::move(message)};
}
inline SilaFailure undefinedError(std::string message) {
    return {SilaFailure::Kind::UndefinedExecution, {}, std::move(message)};
}
inline SilaFailure frameworkError(FrameworkErrorType type, std::string message) {
    return {SilaFailure::Kind::Framework, {}, std::move(message), type};
}
// A parameter the call left out: every parameter is mandatory.
inline SilaFailure missingParameter(std::string parameter) {
    const std::size_t slash = parameter.rfind('/');
    std::string name = parameter.substr(slash == std::string::npos ? 0 : slash + 1);
    return validationError(std::move(parameter), "The parameter " + name + " is missing.");
}

} // namespace kqvdr::remote
