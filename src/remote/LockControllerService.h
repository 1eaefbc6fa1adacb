#pragma once

#include "LockController.grpc.pb.h"

#include <string>
#include <vector>

namespace kqvdr::remote {

class MetadataGate;
class ServerLock;
class StreamLimit;

namespace lc = sila2::org::silastandard::core::lockcontroller::v2;

// The standard's LockController: a client locks the server for its own use, and while it is
// locked every lock-protected call must carry the lock's identifier.
class LockControllerService final : public lc::LockController::Service {
public:
    LockControllerService(MetadataGate& gate, ServerLock& lock, StreamLimit& streams);

    // Declares the LockIdentifier metadata on the gate. Called after every other declaration,
    // so that the holder can be named by the user an access token showed.
    void declareMetadata();

    // Every served feature except SiLAService, this one and those that log clients in: a
    // client that finds the server locked can still learn about it and log in.
    static std::vector<std::string> protectedFeatures();

    grpc::Status LockServer(grpc::ServerContext* context, const lc::LockServer_Parameters* request,
                            lc::LockServer_Responses* response) override;
    grpc::Status UnlockServer(grpc::ServerContext* context,
                              const lc::UnlockServer_Parameters* request,
                              lc::UnlockServer_Responses* response) override;
    grpc::Status
    Subscribe_IsLocked(grpc::ServerContext* context,
                       const lc::Subscribe_IsLocked_Parameters* request,
                       grpc::ServerWriter<lc::Subscribe_IsLocked_Responses>* writer) override;
    grpc::Status Get_FCPAffectedByMetadata_LockIdentifier(
        grpc::ServerContext* context,
        const lc::Get_FCPAffectedByMetadata_LockIdentifier_Parameters* request,
        lc::Get_FCPAffectedByMetadata_LockIdentifier_Responses* response) override;

private:
    MetadataGate& gate_;
    ServerLock& lock_;
    StreamLimit& streams_;
};

} // namespace kqvdr::remote
