#include "SilaStatus.h"

#include "Base64.h"
#include "SilaErrorBytes.h"

namespace kqvdr::remote {

grpc::Status silaStatus(const SilaFailure& failure) {
    return {grpc::StatusCode::ABORTED, base64Encode(silaErrorBytes(failure))};
}

grpc::Status statusOf(const Outcome& outcome) {
    return outcome ? silaStatus(*outcome) : grpc::Status::OK;
}

grpc::Status frameworkStatus(FrameworkErrorType type, const std::string& message) {
    return silaStatus(frameworkError(type, message));
}

} // namespace kqvdr::remote
