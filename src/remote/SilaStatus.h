#pragma once

#include "SilaFailure.h"

#include <grpcpp/support/status.h>

namespace kqvdr::remote {

// A failure as every SiLA client expects it: ABORTED, with the serialised SiLAError in base64
// as the status message.
grpc::Status silaStatus(const SilaFailure& failure);
grpc::Status statusOf(const Outcome& outcome);

grpc::Status frameworkStatus(FrameworkErrorType type, const std::string& message);

} // namespace kqvdr::remote
