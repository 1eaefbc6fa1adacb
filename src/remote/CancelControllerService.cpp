#include "CancelControllerService.h"

#include "FeatureIds.h"
#include "MetadataGate.h"
#include "PeerAddress.h"
#include "SilaStatus.h"
#include "SystemTestService.h"
#include "Uuid.h"

namespace kqvdr::remote {

CancelControllerService::CancelControllerService(const MetadataGate& gate,
                                                 SystemTestService& systemTest)
    : gate_(gate), systemTest_(systemTest) {}

grpc::Status CancelControllerService::CancelCommand(grpc::ServerContext* context,
                                                    const cc::CancelCommand_Parameters* request,
                                                    cc::CancelCommand_Responses*) {
    if (Outcome refused =
            gate_.admit(*context, commandId(kCancelControllerFeature, "CancelCommand"))) {
        return silaStatus(*refused);
    }
    const std::string parameter =
        parameterId(kCancelControllerFeature, "CancelCommand", "CommandExecutionUUID");
    if (!request->has_commandexecutionuuid() || !request->commandexecutionuuid().has_uuid()) {
        return silaStatus(missingParameter(parameter));
    }
    const std::string& text = request->commandexecutionuuid().uuid().value();
    // Compared without regard to case, as every execution UUID is.
    if (!canonicalUuid(text)) {
        return silaStatus(validationError(
            parameter, "CommandExecutionUUID must be a UUID of 36 characters, such as "
                       "\"2f1c6d0e-8b7a-4c3d-9e5f-0a1b2c3d4e5f\"."));
    }
    return statusOf(systemTest_.cancel(text, peerAddress(context->peer())));
}

grpc::Status CancelControllerService::CancelAll(grpc::ServerContext* context,
                                                const cc::CancelAll_Parameters*,
                                                cc::CancelAll_Responses*) {
    if (Outcome refused = gate_.admit(*context, commandId(kCancelControllerFeature, "CancelAll"))) {
        return silaStatus(*refused);
    }
    return statusOf(systemTest_.cancelAll(peerAddress(context->peer())));
}

} // namespace kqvdr::remote
