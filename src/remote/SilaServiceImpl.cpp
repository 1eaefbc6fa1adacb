#include "SilaServiceImpl.h"

#include "FeatureDefinitions.h"
#include "FeatureIds.h"
#include "SilaStatus.h"

namespace kqvdr::remote {

SilaServiceImpl::SilaServiceImpl(std::string uuid, std::string name, ServerDescription description,
                                 NameKeeper keepName)
    : uuid_(std::move(uuid)), description_(std::move(description)), keepName_(std::move(keepName)),
      name_(std::move(name)) {}

std::string SilaServiceImpl::serverName() const {
    std::lock_guard lock(mutex_);
    return name_;
}

grpc::Status
SilaServiceImpl::GetFeatureDefinition(grpc::ServerContext*,
                                      const ss::GetFeatureDefinition_Parameters* request,
                                      ss::GetFeatureDefinition_Responses* response) {
    const std::string& wanted = request->featureidentifier().value();
    for (const FeatureDefinition& feature : featureDefinitions()) {
        if (feature.identifier == wanted) {
            response->mutable_featuredefinition()->set_value(std::string(feature.xml));
            return grpc::Status::OK;
        }
    }
    return silaStatus(
        definedError(errorId(kSilaServiceFeature, "UnimplementedFeature"),
                     "The feature \"" + wanted + "\" is not implemented by this server."));
}

grpc::Status SilaServiceImpl::SetServerName(grpc::ServerContext*,
                                            const ss::SetServerName_Parameters* request,
                                            ss::SetServerName_Responses*) {
    const std::string& name = request->servername().value();
    const std::string parameter = parameterId(kSilaServiceFeature, "SetServerName", "ServerName");
    if (name.empty() || name.size() > 255) {
        return silaStatus(
            validationError(parameter, "The server name must be 1 to 255 characters long."));
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

grpc::Status SilaServiceImpl::Get_ServerName(grpc::ServerContext*,
                                             const ss::Get_ServerName_Parameters*,
                                             ss::Get_ServerName_Responses* response) {
    response->mutable_servername()->set_value(serverName());
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerType(grpc::ServerContext*,
                                             const ss::Get_ServerType_Parameters*,
                                             ss::Get_ServerType_Responses* response) {
    response->mutable_servertype()->set_value(description_.type);
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerUUID(grpc::ServerContext*,
                                             const ss::Get_ServerUUID_Parameters*,
                                             ss::Get_ServerUUID_Responses* response) {
    response->mutable_serveruuid()->set_value(uuid_);
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerDescription(grpc::ServerContext*,
                                                    const ss::Get_ServerDescription_Parameters*,
                                                    ss::Get_ServerDescription_Responses* response) {
    response->mutable_serverdescription()->set_value(description_.description);
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerVersion(grpc::ServerContext*,
                                                const ss::Get_ServerVersion_Parameters*,
                                                ss::Get_ServerVersion_Responses* response) {
    response->mutable_serverversion()->set_value(description_.version);
    return grpc::Status::OK;
}

grpc::Status SilaServiceImpl::Get_ServerVendorURL(grpc::ServerContext*,
                                                  const ss::Get_ServerVendorURL_Parameters*,
                                                  ss::Get_ServerVendorURL_Responses* response) {
    response->mutable_servervendorurl()->set_value(description_.vendorUrl);
    return grpc::Status::OK;
}

grpc::Status
SilaServiceImpl::Get_ImplementedFeatures(grpc::ServerContext*,
                                         const ss::Get_ImplementedFeatures_Parameters*,
                                         ss::Get_ImplementedFeatures_Responses* response) {
    for (const FeatureDefinition& feature : featureDefinitions()) {
        response->add_implementedfeatures()->set_value(std::string(feature.identifier));
    }
    return grpc::Status::OK;
}

} // namespace kqvdr::remote
