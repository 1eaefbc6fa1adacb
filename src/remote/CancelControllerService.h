#pragma once

#include "CancelController.grpc.pb.h"

namespace kqvdr::remote {

class MetadataGate;
class SystemTestService;

namespace cc = sila2::org::silastandard::core::commands::cancelcontroller::v1;

// Cancels the executions clients started. The only observable command here is the system
// test, so a cancel is that test stopped as "Stop System Test" stops it.
class CancelControllerService final : public cc::CancelController::Service {
public:
    CancelControllerService(const MetadataGate& gate, SystemTestService& systemTest);

    grpc::Status CancelCommand(grpc::ServerContext* context,
                               const cc::CancelCommand_Parameters* request,
                               cc::CancelCommand_Responses* response) override;
    grpc::Status CancelAll(grpc::ServerContext* context, const cc::CancelAll_Parameters* request,
                           cc::CancelAll_Responses* response) override;

private:
    const MetadataGate& gate_;
    SystemTestService& systemTest_;
};

} // namespace kqvdr::remote
