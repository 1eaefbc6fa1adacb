#include "SilaServiceImpl.h"

#include "FeatureDefinitions.h"
#include "FeatureIdentifier.h"
#include "FeatureIds.h"
#include "MetadataGate.h"
#include "ServerName.h"
#include "SilaStatus.h"

namespace kqvdr::remote {

SilaServiceImpl::SilaServiceImpl(const MetadataGate& gate, std::string uuid, std::string name,
                                 ServerDescription description, NameKeeper keepName)
    : gate_(gate), uuid_(std::move(uuid)), description_(std::move(description)),
      keepName_(std::move(keepName)), name_(std::move(name)) {}

std::optional<grpc::Status> SilaServiceImpl::refused(const grpc::ServerContext* context,
                                                     std::string_view call) const {
    if (Outcome refusal = gate_.admit(*context, call)) {
        return silaStatus(*refusal);
    }
    return std::nullopt;
}

std::string SilaServiceImpl::serverName() const {
    std::lock_guard lock(mutex_);
    return name_;
}

grpc::Status
SilaServiceImpl::GetFeatureDefinition(grpc::ServerContext* context,
                                      const ss::GetFeatureDefinition_Parameters* request,
                                      ss::GetFeatureDefinition_Responses* response) {
    if (auto refusal = refused(context, commandId(kSilaServiceFeature, "GetFeatureDefinition"))) {
        return *refusal;
    }
    const std::string parameter =
        parameterId(kSilaServiceFeature, "GetFeatureDefinition", "FeatureIdentifier");
    if (!request->has_featureidentifier()) {
        return silaStatus(missingParameter(parameter));
    }
    const std::string& wanted = request->featureidentifier().value();
    if (!isFullyQualifiedFeatureIdentifier(wanted)) {
        return silaStatus(
            validationError(parameter, "\"" + wanted +
                                           "\" is no fully qualified feature identifier "
                                           "(originator/category/FeatureIdentifier/vMajor)."));
    }
    for (const FeatureDefinition& feature : featureDefinitions()) {
        if (sameIdentifier(feature.identifier, wanted)) {
            response->mutable_featuredefinition()->set_value(std::string(feature.xml));
            return grpc::Status::OK;
        }
    }
    return silaStatus(
        definedError(errorId(kSilaServiceFeature, "UnimplementedFeature"),
                     "The feature \"" + wanted + "\" is not implemented by this server."));
}

grpc::Status SilaServiceImpl::SetServerName(grpc::ServerContext* context,
                                            const ss::SetServerName_Parameters* request,
                                            ss::SetServerName_Responses*) {
    if (auto refusal = refused(context, commandId(kSilaServiceFeature, "SetServerName"))) {
        return *refusal;
    }
    const std::string parameter = parameterId(kSilaServiceFeature, "SetServerName", "ServerName");
    if (!request->has_servername()) {
        return silaStatus(missingParameter(parameter));
    }
    const std::string& name = request->servername().value();
    if (const std::string problem = newServerNameProblem(name); !problem.empty()) {
        return silaStatus(validationError(parameter, problem));
    }
    // One name at a time reaches the file, in the order the names are kept.
    std::lock_guard keeping(keepMutex_);
    std::string error;
    if (keepName_ && !keepName_(name, error)) {
        return silaStatus(undefinedError("The server name cannot be kept: " + error));
    }
    std::lock_guard lock(mutex_);
    name_ = name;
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerName(grpc::ServerContext* context,
                                             const ss::Get_ServerName_Parameters*,
                                             ss::Get_ServerName_Responses* response) {
    if (auto refusal = refused(context, propertyId(kSilaServiceFeature, "ServerName"))) {
        return *refusal;
    }
    response->mutable_servername()->set_value(serverName());
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerType(grpc::ServerContext* context,
                                             const ss::Get_ServerType_Parameters*,
                                             ss::Get_ServerType_Responses* response) {
    if (auto refusal = refused(context, propertyId(kSilaServiceFeature, "ServerType"))) {
        return *refusal;
    }
    response->mutable_servertype()->set_value(description_.type);
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerUUID(grpc::ServerContext* context,
                                             const ss::Get_ServerUUID_Parameters*,
                                             ss::Get_ServerUUID_Responses* response) {
    if (auto refusal = refused(context, propertyId(kSilaServiceFeature, "ServerUUID"))) {
        return *refusal;
    }
    response->mutable_serveruuid()->set_value(uuid_);
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerDescription(grpc::ServerContext* context,
                                                    const ss::Get_ServerDescription_Parameters*,
                                                    ss::Get_ServerDescription_Responses* response) {
    if (auto refusal = refused(context, propertyId(kSilaServiceFeature, "ServerDescription"))) {
        return *refusal;
    }
    response->mutable_serverdescription()->set_value(description_.description);
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerVersion(grpc::ServerContext* context,
                                                const ss::Get_ServerVersion_Parameters*,
                                                ss::Get_ServerVersion_Responses* response) {
    if (auto refusal = refused(context, propertyId(kSilaServiceFeature, "ServerVersion"))) {
        return *refusal;
    }
    response->mutable_serverversion()->set_value(description_.version);
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerVendorURL(grpc::ServerContext* context,
                                                  const ss::Get_ServerVendorURL_Parameters*,
                                                  ss::Get_ServerVendorURL_Responses* response) {
    if (auto refusal = refused(context, propertyId(kSilaServiceFeature, "ServerVendorURL"))) {
        return *refusal;
    }
    response->mutable_servervendorurl()->set_value(description_.vendorUrl);
    return grpc::Status::OK;
}

grpc::Status
SilaServiceImpl::Get_ImplementedFeatures(grpc::ServerContext* context,
                                         const ss::Get_ImplementedFeatures_Parameters*,
                                         ss::Get_ImplementedFeatures_Responses* response) {
    if (auto refusal = refused(context, propertyId(kSilaServiceFeature, "ImplementedFeatures"))) {
        return *refusal;
    }
    for (const FeatureDefinition& feature : featureDefinitions()) {
        response->add_implementedfeatures()->set_value(std::string(feature.identifier));
    }
    return grpc::Status::OK;
}

} // namespace kqvdr::remote
