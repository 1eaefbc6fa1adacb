#include "SilaStatus.h"

#include "Base64.h"
#include "SiLAFramework.pb.h"

namespace kqvdr::remote {
namespace {

namespace sila = sila2::org::silastandard;

grpc::Status aborted(const sila::SiLAError& error) {
    return {grpc::StatusCode::ABORTED, base64Encode(error.SerializeAsString())};
}

sila::FrameworkError::ErrorType errorTypeOf(FrameworkErrorType type) {
    switch (type) {
    case FrameworkErrorType::CommandExecutionNotAccepted:
        return sila::FrameworkError::COMMAND_EXECUTION_NOT_ACCEPTED;
    case FrameworkErrorType::InvalidExecutionUuid:
        return sila::FrameworkError::INVALID_COMMAND_EXECUTION_UUID;
    case FrameworkErrorType::ExecutionNotFinished:
        return sila::FrameworkError::COMMAND_EXECUTION_NOT_FINISHED;
    case FrameworkErrorType::InvalidMetadata:
        return sila::FrameworkError::INVALID_METADATA;
    case FrameworkErrorType::NoMetadataAllowed:
        return sila::FrameworkError::NO_METADATA_ALLOWED;
    }
    return sila::FrameworkError::COMMAND_EXECUTION_NOT_ACCEPTED;
}

} // namespace

grpc::Status silaStatus(const SilaFailure& failure) {
    sila::SiLAError error;
    switch (failure.kind) {
    case SilaFailure::Kind::Validation:
        error.mutable_validationerror()->set_parameter(failure.identifier);
        error.mutable_validationerror()->set_message(failure.message);
        break;
    case SilaFailure::Kind::DefinedExecution:
        error.mutable_definedexecutionerror()->set_erroridentifier(failure.identifier);
        error.mutable_definedexecutionerror()->set_message(failure.message);
        break;
    case SilaFailure::Kind::UndefinedExecution:
        error.mutable_undefinedexecutionerror()->set_message(failure.message);
        break;
    case SilaFailure::Kind::Framework:
        error.mutable_frameworkerror()->set_errortype(errorTypeOf(failure.framework));
        error.mutable_frameworkerror()->set_message(failure.message);
        break;
    }
    return aborted(error);
}

grpc::Status statusOf(const Outcome& outcome) {
    return outcome ? silaStatus(*outcome) : grpc::Status::OK;
}

grpc::Status frameworkStatus(FrameworkErrorType type, const std::string& message) {
    return silaStatus(frameworkError(type, message));
}

} // namespace kqvdr::remote
