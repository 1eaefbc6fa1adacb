#include "MethodStoreService.h"

#include "ClientKey.h"
#include "CommandQueue.h"
#include "FeatureIds.h"
#include "MetadataGate.h"
#include "MethodChecks.h"
#include "SilaStatus.h"
#include "SnapshotBoard.h"

#include <variant>

namespace kqvdr::remote {
namespace {

std::string command(const char* name) {
    return commandId(kMethodStoreFeature, name);
}

std::string parameter(const char* commandName, const char* name) {
    return parameterId(kMethodStoreFeature, commandName, name);
}

// The first parameter of StoreMethod the client left out, if any.
Outcome missingFromStore(const ms::StoreMethod_Parameters& request) {
    const std::pair<bool, const char*> fields[] = {
        {request.has_methodnumber(), "MethodNumber"},
        {request.has_name(), "Name"},
        {request.has_description(), "Description"},
        {request.has_evaporatortemperature(), "EvaporatorTemperature"},
        {request.has_nebulisertemperature(), "NebuliserTemperature"},
        {request.has_transferlinetemperature(), "TransferLineTemperature"},
        {request.has_gasflow(), "GasFlow"},
        {request.has_autozerooffset(), "AutozeroOffset"},
        {request.has_timeconstant(), "TimeConstant"},
    };
    for (const auto& [present, name] : fields) {
        if (!present) {
            return missingParameter(parameter("StoreMethod", name));
        }
    }
    return std::nullopt;
}

RemoteMethod remoteMethodOf(const MethodRecord& record, bool fine) {
    return {record.number,
            record.name,
            record.description,
            record.evaporatorTemp,
            record.nebuliserTemp,
            record.transferLineTemp,
            gasFlowSlm(record, fine),
            record.autozeroOffset,
            record.timeConstant};
}

} // namespace

MethodStoreService::MethodStoreService(const MetadataGate& gate, CommandQueue& queue,
                                       const SnapshotBoard& board)
    : gate_(gate), queue_(queue), board_(board) {}

grpc::Status MethodStoreService::GetMethod(grpc::ServerContext* context,
                                           const ms::GetMethod_Parameters* request,
                                           ms::GetMethod_Responses* response) {
    MetadataGate::Admission admission;
    if (Outcome refused = gate_.admit(*context, command("GetMethod"), admission)) {
        return silaStatus(*refused);
    }
    if (!request->has_methodnumber()) {
        return silaStatus(missingParameter(parameter("GetMethod", "MethodNumber")));
    }
    const std::int64_t number = request->methodnumber().value();
    if (auto bad = checkUserMethodNumber(number, parameter("GetMethod", "MethodNumber"))) {
        return silaStatus(*bad);
    }
    MethodRecord record;
    bool fine = false;
    const Outcome outcome = queue_.call([&record, &fine, number](RemoteInstrument& instrument) {
        // Before the instrument has sent its setpoints the record holds zeros, which no method
        // can have: a client would take them for the instrument's.
        if (!instrument.methodsKnown()) {
            return Outcome{definedError(errorId(kMethodStoreFeature, kInstrumentNotConnected),
                                        "The instrument has not sent its methods yet.")};
        }
        record = instrument.method(static_cast<int>(number));
        fine = instrument.fineGasResolution();
        return Outcome{};
    });
    if (outcome) {
        return silaStatus(*outcome);
    }
    // What is served keeps the limits the definition promises, like anything a client stores.
    const auto served = checkedMethod(remoteMethodOf(record, fine), fine, command("GetMethod"));
    if (const auto* bad = std::get_if<SilaFailure>(&served)) {
        return silaStatus(undefinedError("The instrument reports method " + std::to_string(number) +
                                         " outside the method editor's limits: " + bad->message));
    }
    auto* method = response->mutable_method();
    method->mutable_methodnumber()->set_value(number);
    method->mutable_name()->set_value(record.name);
    method->mutable_description()->set_value(record.description);
    method->mutable_evaporatortemperature()->set_value(record.evaporatorTemp);
    method->mutable_nebulisertemperature()->set_value(record.nebuliserTemp);
    method->mutable_transferlinetemperature()->set_value(record.transferLineTemp);
    method->mutable_gasflow()->set_value(gasFlowSlm(record, fine));
    method->mutable_autozerooffset()->set_value(record.autozeroOffset);
    method->mutable_timeconstant()->set_value(record.timeConstant);
    return grpc::Status::OK;
}

grpc::Status MethodStoreService::StoreMethod(grpc::ServerContext* context,
                                             const ms::StoreMethod_Parameters* request,
                                             ms::StoreMethod_Responses*) {
    MetadataGate::Admission admission;
    if (Outcome refused = gate_.admit(*context, command("StoreMethod"), admission)) {
        return silaStatus(*refused);
    }
    if (Outcome missing = missingFromStore(*request)) {
        return silaStatus(*missing);
    }
    RemoteMethod method;
    method.number = request->methodnumber().value();
    method.name = request->name().value();
    method.description = request->description().value();
    method.evaporatorTemperature = request->evaporatortemperature().value();
    method.nebuliserTemperature = request->nebulisertemperature().value();
    method.transferLineTemperature = request->transferlinetemperature().value();
    method.gasFlow = request->gasflow().value();
    method.autozeroOffset = request->autozerooffset().value();
    method.timeConstant = request->timeconstant().value();
    // Checked before it waits for the tick, so a full queue never hides a bad parameter.
    const auto checked =
        checkedMethod(method, board_.current().values.fineGasResolution, command("StoreMethod"));
    if (const auto* failure = std::get_if<SilaFailure>(&checked)) {
        return silaStatus(*failure);
    }
    const std::string peer = actingUser(admission);
    // Checked again in the tick: the instrument's variant may have changed since.
    return statusOf(queue_.call([method, peer](RemoteInstrument& instrument) -> Outcome {
        auto now = checkedMethod(method, instrument.fineGasResolution(), command("StoreMethod"));
        if (auto* failure = std::get_if<SilaFailure>(&now)) {
            return *failure;
        }
        return instrument.storeMethod(static_cast<int>(method.number), std::get<MethodRecord>(now),
                                      peer);
    }));
}

grpc::Status MethodStoreService::SendMethod(grpc::ServerContext* context,
                                            const ms::SendMethod_Parameters* request,
                                            ms::SendMethod_Responses*) {
    MetadataGate::Admission admission;
    if (Outcome refused = gate_.admit(*context, command("SendMethod"), admission)) {
        return silaStatus(*refused);
    }
    if (!request->has_methodnumber()) {
        return silaStatus(missingParameter(parameter("SendMethod", "MethodNumber")));
    }
    const std::int64_t number = request->methodnumber().value();
    if (auto bad = checkUserMethodNumber(number, parameter("SendMethod", "MethodNumber"))) {
        return silaStatus(*bad);
    }
    const std::string peer = actingUser(admission);
    return statusOf(queue_.call([number, peer](RemoteInstrument& instrument) {
        return instrument.sendMethod(static_cast<int>(number), peer);
    }));
}

} // namespace kqvdr::remote
