#pragma once

#include "DetectorController.grpc.pb.h"

namespace kqvdr::remote {

class CommandQueue;
class MetadataGate;
class SnapshotBoard;
class StreamLimit;

namespace dc = sila2::com::brackwater::detector::detectorcontroller::v1;

// The instrument's commands and live values. Commands go through the queue into the tick;
// subscriptions read the board and never touch the program's state.
class DetectorControllerService final : public dc::DetectorController::Service {
public:
    DetectorControllerService(const MetadataGate& gate, CommandQueue& queue,
                              const SnapshotBoard& board, StreamLimit& streams);

    grpc::Status SetMode(grpc::ServerContext* context, const dc::SetMode_Parameters* request,
                         dc::SetMode_Responses* response) override;
    grpc::Status SelectMethod(grpc::ServerContext* context,
                              const dc::SelectMethod_Parameters* request,
                              dc::SelectMethod_Responses* response) override;
    grpc::Status Autozero(grpc::ServerContext* context, const dc::Autozero_Parameters* request,
                          dc::Autozero_Responses* response) override;
    grpc::Status SetTransferLine(grpc::ServerContext* context,
                                 const dc::SetTransferLine_Parameters* request,
                                 dc::SetTransferLine_Responses* response) override;
    grpc::Status ClearFault(grpc::ServerContext* context, const dc::ClearFault_Parameters* request,
                            dc::ClearFault_Responses* response) override;

    grpc::Status Subscribe_Mode(grpc::ServerContext* context,
                                const dc::Subscribe_Mode_Parameters* request,
                                grpc::ServerWriter<dc::Subscribe_Mode_Responses>* writer) override;
    grpc::Status
    Subscribe_Ready(grpc::ServerContext* context, const dc::Subscribe_Ready_Parameters* request,
                    grpc::ServerWriter<dc::Subscribe_Ready_Responses>* writer) override;
    grpc::Status Subscribe_EvaporatorTemperature(
        grpc::ServerContext* context, const dc::Subscribe_EvaporatorTemperature_Parameters* request,
        grpc::ServerWriter<dc::Subscribe_EvaporatorTemperature_Responses>* writer) override;
    grpc::Status Subscribe_NebuliserTemperature(
        grpc::ServerContext* context, const dc::Subscribe_NebuliserTemperature_Parameters* request,
        grpc::ServerWriter<dc::Subscribe_NebuliserTemperature_Responses>* writer) override;
    grpc::Status Subscribe_ExhaustTemperature(
        grpc::ServerContext* context, const dc::Subscribe_ExhaustTemperature_Parameters* request,
        grpc::ServerWriter<dc::Subscribe_ExhaustTemperature_Responses>* writer) override;
    grpc::Status Subscribe_TransferLineTemperature(
        grpc::ServerContext* context,
        const dc::Subscribe_TransferLineTemperature_Parameters* request,
        grpc::ServerWriter<dc::Subscribe_TransferLineTemperature_Responses>* writer) override;
    grpc::Status
    Subscribe_GasFlow(grpc::ServerContext* context, const dc::Subscribe_GasFlow_Parameters* request,
                      grpc::ServerWriter<dc::Subscribe_GasFlow_Responses>* writer) override;
    grpc::Status Subscribe_DetectorOutput(
        grpc::ServerContext* context, const dc::Subscribe_DetectorOutput_Parameters* request,
        grpc::ServerWriter<dc::Subscribe_DetectorOutput_Responses>* writer) override;
    grpc::Status Subscribe_MethodNumber(
        grpc::ServerContext* context, const dc::Subscribe_MethodNumber_Parameters* request,
        grpc::ServerWriter<dc::Subscribe_MethodNumber_Responses>* writer) override;
    grpc::Status
    Subscribe_Fault(grpc::ServerContext* context, const dc::Subscribe_Fault_Parameters* request,
                    grpc::ServerWriter<dc::Subscribe_Fault_Responses>* writer) override;

private:
    const MetadataGate& gate_;
    CommandQueue& queue_;
    const SnapshotBoard& board_;
    StreamLimit& streams_;
};

} // namespace kqvdr::remote
