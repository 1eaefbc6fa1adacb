#pragma once

#include <optional>
#include <string>

namespace kqvdr::remote {

// Why a remote call failed, in the three kinds a SiLA client tells apart.
struct SilaFailure {
    enum class Kind { Validation, DefinedExecution, UndefinedExecution };
    Kind kind = Kind::UndefinedExecution;
    // The parameter's fully qualified identifier for a validation error, the error's for a
    // defined one; empty for an undefined one.
    std::string identifier;
    std::string message;
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

} // namespace kqvdr::remote
