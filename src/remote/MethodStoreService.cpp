#include "MethodStoreService.h"

#include "CommandQueue.h"
#include "FeatureIds.h"
#include "MethodChecks.h"
#include "PeerAddress.h"
#include "SilaStatus.h"

#include <variant>

namespace kqvdr::remote {
namespace {

std::string command(const char* name) {
    return std::string(kMethodStoreFeature) + "/Command/" + name;
}

} // namespace

MethodStoreService::MethodStoreService(CommandQueue& queue) : queue_(queue) {}

grpc::Status MethodStoreService::GetMethod(grpc::ServerContext*,
                                           const ms::GetMethod_Parameters* request,
                                           ms::GetMethod_Responses* response) {
    const std::int64_t number = request->methodnumber().value();
    if (auto bad =
            checkUserMethodNumber(number, command("GetMethod") + "/Parameter/MethodNumber")) {
        return silaStatus(*bad);
    }
    MethodRecord record;
    bool fine = false;
    const Outcome outcome = queue_.call([&record, &fine, number](RemoteInstrument& instrument) {
        record = instrument.method(static_cast<int>(number));
        fine = instrument.fineGasResolution();
        return Outcome{};
    });
    if (outcome) {
        return silaStatus(*outcome);
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
    const std::string peer = peerAddress(context->peer());
    // The limits of the gas flow depend on the instrument's variant, known only in the tick.
    return statusOf(queue_.call([method, peer](RemoteInstrument& instrument) -> Outcome {
        auto checked =
            checkedMethod(method, instrument.fineGasResolution(), command("StoreMethod"));
        if (auto* failure = std::get_if<SilaFailure>(&checked)) {
            return *failure;
        }
        return instrument.storeMethod(static_cast<int>(method.number),
                                      std::get<MethodRecord>(checked), peer);
    }));
}

grpc::Status MethodStoreService::SendMethod(grpc::ServerContext* context,
                                            const ms::SendMethod_Parameters* request,
                                            ms::SendMethod_Responses*) {
    const std::int64_t number = request->methodnumber().value();
    if (auto bad =
            checkUserMethodNumber(number, command("SendMethod") + "/Parameter/MethodNumber")) {
        return silaStatus(*bad);
    }
    const std::string peer = peerAddress(context->peer());
    return statusOf(queue_.call([number, peer](RemoteInstrument& instrument) {
        return instrument.sendMethod(static_cast<int>(number), peer);
    }));
}

} // namespace kqvdr::remote
