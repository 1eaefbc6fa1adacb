#pragma once

#include "ServerDescription.h"
#include "SiLAService.grpc.pb.h"

#include <functional>
#include <mutex>
#include <optional>

namespace kqvdr::remote {

namespace ss = sila2::org::silastandard::core::silaservice::v1;

// The mandatory core feature: who this server is and what it implements.
class MetadataGate;

class SilaServiceImpl final : public ss::SiLAService::Service {
public:
    // Keeps a new server name; false with the reason when it cannot.
    using NameKeeper = std::function<bool(const std::string& name, std::string& error)>;

    SilaServiceImpl(const MetadataGate& gate, std::string uuid, std::string name,
                    ServerDescription description, NameKeeper keepName);

    std::string serverName() const;

    grpc::Status GetFeatureDefinition(grpc::ServerContext* context,
                                      const ss::GetFeatureDefinition_Parameters* request,
                                      ss::GetFeatureDefinition_Responses* response) override;
    grpc::Status SetServerName(grpc::ServerContext* context,
                               const ss::SetServerName_Parameters* request,
                               ss::SetServerName_Responses* response) override;
    grpc::Status Get_ServerName(grpc::ServerContext* context,
                                const ss::Get_ServerName_Parameters* request,
                                ss::Get_ServerName_Responses* response) override;
    grpc::Status Get_ServerType(grpc::ServerContext* context,
                                const ss::Get_ServerType_Parameters* request,
                                ss::Get_ServerType_Responses* response) override;
    grpc::Status Get_ServerUUID(grpc::ServerContext* context,
                                const ss::Get_ServerUUID_Parameters* request,
                                ss::Get_ServerUUID_Responses* response) override;
    grpc::Status Get_ServerDescription(grpc::ServerContext* context,
                                       const ss::Get_ServerDescription_Parameters* request,
                                       ss::Get_ServerDescription_Responses* response) override;
    grpc::Status Get_ServerVersion(grpc::ServerContext* context,
                                   const ss::Get_ServerVersion_Parameters* request,
                                   ss::Get_ServerVersion_Responses* response) override;
    grpc::Status Get_ServerVendorURL(grpc::ServerContext* context,
                                     const ss::Get_ServerVendorURL_Parameters* request,
                                     ss::Get_ServerVendorURL_Responses* response) override;
    grpc::Status Get_ImplementedFeatures(grpc::ServerContext* context,
                                         const ss::Get_ImplementedFeatures_Parameters* request,
                                         ss::Get_ImplementedFeatures_Responses* response) override;

private:
    // The call may go on when nothing comes back: it carries no SiLA client metadata.
    std::optional<grpc::Status> refused(const grpc::ServerContext* context,
                                        std::string_view call) const;

    const MetadataGate& gate_;
    const std::string uuid_;
    const ServerDescription description_;
    NameKeeper keepName_;
    std::mutex keepMutex_;
    mutable std::mutex mutex_;
    std::string name_;
};

} // namespace kqvdr::remote
