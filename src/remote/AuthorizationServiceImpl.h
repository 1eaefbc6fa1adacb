#pragma once

#include "AuthorizationService.grpc.pb.h"

namespace kqvdr::remote {

class MetadataGate;

namespace authz = sila2::org::silastandard::core::authorizationservice::v1;

// The standard's AuthorizationService: it defines the AccessToken metadata and tells clients
// which calls need it (none while the server has no users).
class AuthorizationServiceImpl final : public authz::AuthorizationService::Service {
public:
    explicit AuthorizationServiceImpl(const MetadataGate& gate) : gate_(gate) {}

    grpc::Status Get_FCPAffectedByMetadata_AccessToken(
        grpc::ServerContext* context,
        const authz::Get_FCPAffectedByMetadata_AccessToken_Parameters* request,
        authz::Get_FCPAffectedByMetadata_AccessToken_Responses* response) override;

private:
    const MetadataGate& gate_;
};

} // namespace kqvdr::remote
