#include "DetectorControllerService.h"

#include "ClientKey.h"
#include "CommandQueue.h"
#include "FeatureIds.h"
#include "MetadataGate.h"
#include "MethodChecks.h"
#include "SilaStatus.h"
#include "Subscription.h"

namespace kqvdr::remote {
namespace {

namespace sila = sila2::org::silastandard;

std::string parameter(const char* command, const char* name) {
    return parameterId(kDetectorControllerFeature, command, name);
}

// One property's stream: `Field` picks the value, `set` puts it into the response.
template <typename Response, typename Value, typename SetValue>
grpc::Status property(grpc::ServerContext* context, const MetadataGate& gate, const char* name,
                      const SnapshotBoard& board, StreamLimit& streams,
                      grpc::ServerWriter<Response>* writer, Value (*read)(const LiveValues&),
                      SetValue set) {
    MetadataGate::Admission admission;
    if (Outcome refused =
            gate.admit(*context, propertyId(kDetectorControllerFeature, name), admission)) {
        return silaStatus(*refused);
    }
    return streamChanges<Value>(*context, board, streams, clientKey(*context, admission), read,
                                [&](const Value& value) {
                                    Response response;
                                    set(response, value);
                                    return writer->Write(response);
                                });
}

} // namespace

DetectorControllerService::DetectorControllerService(const MetadataGate& gate, CommandQueue& queue,
                                                     const SnapshotBoard& board,
                                                     StreamLimit& streams)
    : gate_(gate), queue_(queue), board_(board), streams_(streams) {}

grpc::Status DetectorControllerService::SetMode(grpc::ServerContext* context,
                                                const dc::SetMode_Parameters* request,
                                                dc::SetMode_Responses*) {
    MetadataGate::Admission admission;
    if (Outcome refused =
            gate_.admit(*context, commandId(kDetectorControllerFeature, "SetMode"), admission)) {
        return silaStatus(*refused);
    }
    if (!request->has_mode()) {
        return silaStatus(missingParameter(parameter("SetMode", "Mode")));
    }
    const auto mode = modeCode(request->mode().value());
    if (!mode) {
        return silaStatus(
            validationError(parameter("SetMode", "Mode"),
                            "The mode \"" + request->mode().value() +
                                "\" is none of \"STANDBY\", \"RUN\", \"GAS SAVE\" and \"SLEEP\"."));
    }
    const std::string peer = actingUser(admission);
    return statusOf(queue_.call([mode = *mode, peer](RemoteInstrument& instrument) {
        return instrument.setMode(mode, peer);
    }));
}

grpc::Status DetectorControllerService::SelectMethod(grpc::ServerContext* context,
                                                     const dc::SelectMethod_Parameters* request,
                                                     dc::SelectMethod_Responses*) {
    MetadataGate::Admission admission;
    if (Outcome refused = gate_.admit(
            *context, commandId(kDetectorControllerFeature, "SelectMethod"), admission)) {
        return silaStatus(*refused);
    }
    if (!request->has_methodnumber()) {
        return silaStatus(missingParameter(parameter("SelectMethod", "MethodNumber")));
    }
    const std::int64_t number = request->methodnumber().value();
    if (auto bad = checkUserMethodNumber(number, parameter("SelectMethod", "MethodNumber"))) {
        return silaStatus(*bad);
    }
    const std::string peer = actingUser(admission);
    return statusOf(queue_.call([number, peer](RemoteInstrument& instrument) {
        return instrument.selectMethod(static_cast<int>(number), peer);
    }));
}

grpc::Status DetectorControllerService::Autozero(grpc::ServerContext* context,
                                                 const dc::Autozero_Parameters*,
                                                 dc::Autozero_Responses*) {
    MetadataGate::Admission admission;
    if (Outcome refused =
            gate_.admit(*context, commandId(kDetectorControllerFeature, "Autozero"), admission)) {
        return silaStatus(*refused);
    }
    const std::string peer = actingUser(admission);
    return statusOf(
        queue_.call([peer](RemoteInstrument& instrument) { return instrument.autozero(peer); }));
}

grpc::Status
DetectorControllerService::SetTransferLine(grpc::ServerContext* context,
                                           const dc::SetTransferLine_Parameters* request,
                                           dc::SetTransferLine_Responses*) {
    MetadataGate::Admission admission;
    if (Outcome refused = gate_.admit(
            *context, commandId(kDetectorControllerFeature, "SetTransferLine"), admission)) {
        return silaStatus(*refused);
    }
    // A missing flag is no "off": the heater would be switched off by a client's mistake.
    if (!request->has_on()) {
        return silaStatus(missingParameter(parameter("SetTransferLine", "On")));
    }
    const bool on = request->on().value();
    const std::string peer = actingUser(admission);
    return statusOf(queue_.call(
        [on, peer](RemoteInstrument& instrument) { return instrument.setTransferLine(on, peer); }));
}

grpc::Status DetectorControllerService::ClearFault(grpc::ServerContext* context,
                                                   const dc::ClearFault_Parameters*,
                                                   dc::ClearFault_Responses*) {
    MetadataGate::Admission admission;
    if (Outcome refused =
            gate_.admit(*context, commandId(kDetectorControllerFeature, "ClearFault"), admission)) {
        return silaStatus(*refused);
    }
    const std::string peer = actingUser(admission);
    return statusOf(
        queue_.call([peer](RemoteInstrument& instrument) { return instrument.clearFault(peer); }));
}

grpc::Status DetectorControllerService::Subscribe_Mode(
    grpc::ServerContext* context, const dc::Subscribe_Mode_Parameters*,
    grpc::ServerWriter<dc::Subscribe_Mode_Responses>* writer) {
    return property(
        context, gate_, "Mode", board_, streams_, writer,
        +[](const LiveValues& v) { return v.mode; },
        [](auto& r, const std::string& value) { r.mutable_mode()->set_value(value); });
}

grpc::Status DetectorControllerService::Subscribe_Ready(
    grpc::ServerContext* context, const dc::Subscribe_Ready_Parameters*,
    grpc::ServerWriter<dc::Subscribe_Ready_Responses>* writer) {
    return property(
        context, gate_, "Ready", board_, streams_, writer,
        +[](const LiveValues& v) { return v.ready; },
        [](auto& r, bool value) { r.mutable_ready()->set_value(value); });
}

grpc::Status DetectorControllerService::Subscribe_EvaporatorTemperature(
    grpc::ServerContext* context, const dc::Subscribe_EvaporatorTemperature_Parameters*,
    grpc::ServerWriter<dc::Subscribe_EvaporatorTemperature_Responses>* writer) {
    return property(
        context, gate_, "EvaporatorTemperature", board_, streams_, writer,
        +[](const LiveValues& v) { return v.evaporatorTemperature; },
        [](auto& r, double value) { r.mutable_evaporatortemperature()->set_value(value); });
}

grpc::Status DetectorControllerService::Subscribe_NebuliserTemperature(
    grpc::ServerContext* context, const dc::Subscribe_NebuliserTemperature_Parameters*,
    grpc::ServerWriter<dc::Subscribe_NebuliserTemperature_Responses>* writer) {
    return property(
        context, gate_, "NebuliserTemperature", board_, streams_, writer,
        +[](const LiveValues& v) { return v.nebuliserTemperature; },
        [](auto& r, double value) { r.mutable_nebulisertemperature()->set_value(value); });
}

grpc::Status DetectorControllerService::Subscribe_ExhaustTemperature(
    grpc::ServerContext* context, const dc::Subscribe_ExhaustTemperature_Parameters*,
    grpc::ServerWriter<dc::Subscribe_ExhaustTemperature_Responses>* writer) {
    return property(
        context, gate_, "ExhaustTemperature", board_, streams_, writer,
        +[](const LiveValues& v) { return v.exhaustTemperature; },
        [](auto& r, double value) { r.mutable_exhausttemperature()->set_value(value); });
}

grpc::Status DetectorControllerService::Subscribe_TransferLineTemperature(
    grpc::ServerContext* context, const dc::Subscribe_TransferLineTemperature_Parameters*,
    grpc::ServerWriter<dc::Subscribe_TransferLineTemperature_Responses>* writer) {
    return property(
        context, gate_, "TransferLineTemperature", board_, streams_, writer,
        +[](const LiveValues& v) { return v.transferLineTemperature; },
        [](auto& r, double value) { r.mutable_transferlinetemperature()->set_value(value); });
}

grpc::Status DetectorControllerService::Subscribe_GasFlow(
    grpc::ServerContext* context, const dc::Subscribe_GasFlow_Parameters*,
    grpc::ServerWriter<dc::Subscribe_GasFlow_Responses>* writer) {
    return property(
        context, gate_, "GasFlow", board_, streams_, writer,
        +[](const LiveValues& v) { return v.gasFlow; },
        [](auto& r, double value) { r.mutable_gasflow()->set_value(value); });
}

grpc::Status DetectorControllerService::Subscribe_DetectorOutput(
    grpc::ServerContext* context, const dc::Subscribe_DetectorOutput_Parameters*,
    grpc::ServerWriter<dc::Subscribe_DetectorOutput_Responses>* writer) {
    return property(
        context, gate_, "DetectorOutput", board_, streams_, writer,
        +[](const LiveValues& v) { return v.detectorOutput; },
        [](auto& r, double value) { r.mutable_detectoroutput()->set_value(value); });
}

grpc::Status DetectorControllerService::Subscribe_MethodNumber(
    grpc::ServerContext* context, const dc::Subscribe_MethodNumber_Parameters*,
    grpc::ServerWriter<dc::Subscribe_MethodNumber_Responses>* writer) {
    return property(
        context, gate_, "MethodNumber", board_, streams_, writer,
        +[](const LiveValues& v) { return v.methodNumber; },
        [](auto& r, std::int64_t value) { r.mutable_methodnumber()->set_value(value); });
}

grpc::Status DetectorControllerService::Subscribe_Fault(
    grpc::ServerContext* context, const dc::Subscribe_Fault_Parameters*,
    grpc::ServerWriter<dc::Subscribe_Fault_Responses>* writer) {
    return property(
        context, gate_, "Fault", board_, streams_, writer,
        +[](const LiveValues& v) { return v.fault; },
        [](auto& r, const std::string& value) { r.mutable_fault()->set_value(value); });
}

} // namespace kqvdr::remote
