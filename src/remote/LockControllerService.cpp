#include "LockControllerService.h"

#include "ClientKey.h"
#include "FeatureDefinitions.h"
#include "FeatureIdentifier.h"
#include "FeatureIds.h"
#include "MetadataGate.h"
#include "ServerLock.h"
#include "SilaStatus.h"
#include "StreamLimit.h"

#include <algorithm>

namespace kqvdr::remote {
namespace {

const std::string kLockIdentifierMetadata =
    std::string(kLockControllerFeature) + "/Metadata/LockIdentifier";

// How often a subscriber looks whether its client has gone, and whether the lock timed out.
constexpr std::chrono::milliseconds kIsLockedLook{250};

std::string error(const char* name) {
    return errorId(kLockControllerFeature, name);
}

Outcome lockRefusal(ServerLock::Answer answer) {
    switch (answer) {
    case ServerLock::Answer::Done:
        return std::nullopt;
    case ServerLock::Answer::IdentifierMissing:
        return frameworkError(FrameworkErrorType::InvalidMetadata,
                              "The server is locked: the call needs the lock's identifier (SiLA "
                              "client metadata " +
                                  kLockIdentifierMetadata + ").");
    case ServerLock::Answer::AlreadyLocked:
        return definedError(error(kServerAlreadyLocked),
                            "The SiLA Server can not be locked because it is already locked.");
    case ServerLock::Answer::NotLocked:
        return definedError(error(kServerNotLocked),
                            "The SiLA Server can not be unlocked because it is not locked.");
    case ServerLock::Answer::WrongIdentifier:
        break;
    }
    return definedError(error(kInvalidLockIdentifier),
                        "The sent lock identifier is not valid: the server is not locked with "
                        "it (the lock may have timed out or been released at the panel).");
}

} // namespace

LockControllerService::LockControllerService(MetadataGate& gate, ServerLock& lock,
                                             StreamLimit& streams)
    : gate_(gate), lock_(lock), streams_(streams) {}

std::vector<std::string> LockControllerService::protectedFeatures() {
    static constexpr const char* kOpen[] = {kSilaServiceFeature, kLockControllerFeature,
                                            kAuthenticationServiceFeature,
                                            kAuthorizationServiceFeature};
    std::vector<std::string> features;
    for (const FeatureDefinition& feature : featureDefinitions()) {
        if (std::none_of(std::begin(kOpen), std::end(kOpen), [&](const char* open) {
                return sameIdentifier(feature.identifier, open);
            })) {
            features.emplace_back(feature.identifier);
        }
    }
    return features;
}

void LockControllerService::declareMetadata() {
    gate_.declare({kLockIdentifierMetadata, protectedFeatures(),
                   [this](std::string_view call, std::string_view value,
                          MetadataGate::Admission& admission) -> Outcome {
                       const auto identifier = stringMetadataValue(value);
                       if (!identifier) {
                           return frameworkError(FrameworkErrorType::InvalidMetadata,
                                                 "The lock identifier is not a String.");
                       }
                       return lockRefusal(lock_.admit(*identifier, call, actingUser(admission)));
                   },
                   [this](std::string_view call, MetadataGate::Admission& admission) -> Outcome {
                       return lockRefusal(lock_.admit(std::nullopt, call, actingUser(admission)));
                   }});
}

grpc::Status LockControllerService::LockServer(grpc::ServerContext* context,
                                               const lc::LockServer_Parameters* request,
                                               lc::LockServer_Responses*) {
    MetadataGate::Admission admission;
    if (Outcome refused =
            gate_.admit(*context, commandId(kLockControllerFeature, "LockServer"), admission)) {
        return silaStatus(*refused);
    }
    if (!request->has_lockidentifier()) {
        return silaStatus(
            missingParameter(parameterId(kLockControllerFeature, "LockServer", "LockIdentifier")));
    }
    if (!request->has_timeout()) {
        return silaStatus(
            missingParameter(parameterId(kLockControllerFeature, "LockServer", "Timeout")));
    }
    const std::int64_t timeout = request->timeout().value();
    if (timeout < 0) {
        return silaStatus(
            validationError(parameterId(kLockControllerFeature, "LockServer", "Timeout"),
                            "The timeout is a number of seconds, 0 for none; it cannot be "
                            "negative."));
    }
    return statusOf(lockRefusal(lock_.lock(request->lockidentifier().value(),
                                           std::chrono::seconds(timeout), actingUser(admission))));
}

grpc::Status LockControllerService::UnlockServer(grpc::ServerContext* context,
                                                 const lc::UnlockServer_Parameters* request,
                                                 lc::UnlockServer_Responses*) {
    MetadataGate::Admission admission;
    if (Outcome refused =
            gate_.admit(*context, commandId(kLockControllerFeature, "UnlockServer"), admission)) {
        return silaStatus(*refused);
    }
    if (!request->has_lockidentifier()) {
        return silaStatus(missingParameter(
            parameterId(kLockControllerFeature, "UnlockServer", "LockIdentifier")));
    }
    return statusOf(
        lockRefusal(lock_.unlock(request->lockidentifier().value(), actingUser(admission))));
}

grpc::Status LockControllerService::Subscribe_IsLocked(
    grpc::ServerContext* context, const lc::Subscribe_IsLocked_Parameters*,
    grpc::ServerWriter<lc::Subscribe_IsLocked_Responses>* writer) {
    if (Outcome refused = gate_.admit(*context, propertyId(kLockControllerFeature, "IsLocked"))) {
        return silaStatus(*refused);
    }
    const StreamLimit::Slot slot(streams_, *context);
    if (!slot) {
        return silaStatus(undefinedError(slot.refusal()));
    }
    std::optional<bool> last;
    while (!slot.cancelled() && !context->IsCancelled()) {
        const std::uint64_t version = lock_.version();
        const bool locked = lock_.locked();
        if (locked != last) {
            lc::Subscribe_IsLocked_Responses response;
            response.mutable_islocked()->set_value(locked);
            if (!writer->Write(response)) {
                break;
            }
            last = locked;
        }
        lock_.waitChange(version, std::chrono::steady_clock::now() + kIsLockedLook);
    }
    return grpc::Status::OK;
}

grpc::Status LockControllerService::Get_FCPAffectedByMetadata_LockIdentifier(
    grpc::ServerContext* context, const lc::Get_FCPAffectedByMetadata_LockIdentifier_Parameters*,
    lc::Get_FCPAffectedByMetadata_LockIdentifier_Responses* response) {
    if (Outcome refused = gate_.admit(
            *context, propertyId(kLockControllerFeature, "FCPAffectedByMetadata_LockIdentifier"))) {
        return silaStatus(*refused);
    }
    for (const std::string& affected : gate_.affectedBy(kLockIdentifierMetadata)) {
        response->add_affectedcalls()->set_value(affected);
    }
    return grpc::Status::OK;
}

} // namespace kqvdr::remote
