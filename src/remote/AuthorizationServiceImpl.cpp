#include "AuthorizationServiceImpl.h"

#include "AccessTokenMetadata.h"
#include "MetadataGate.h"

namespace kqvdr::remote {

grpc::Status AuthorizationServiceImpl::Get_FCPAffectedByMetadata_AccessToken(
    grpc::ServerContext*, const authz::Get_FCPAffectedByMetadata_AccessToken_Parameters*,
    authz::Get_FCPAffectedByMetadata_AccessToken_Responses* response) {
    for (const std::string& affected : gate_.affectedBy(kAccessTokenMetadata)) {
        response->add_affectedcalls()->set_value(affected);
    }
    return grpc::Status::OK;
}

} // namespace kqvdr::remote
