#pragma once

#include "MethodStore.grpc.pb.h"

namespace kqvdr::remote {

class CommandQueue;
class MetadataGate;
class SnapshotBoard;

namespace ms = sila2::com::brackwater::detector::methodstore::v1;

// The user methods, read, stored and sent through the tick like the method editor's buttons.
class MethodStoreService final : public ms::MethodStore::Service {
public:
    MethodStoreService(const MetadataGate& gate, CommandQueue& queue, const SnapshotBoard& board);

    grpc::Status GetMethod(grpc::ServerContext* context, const ms::GetMethod_Parameters* request,
                           ms::GetMethod_Responses* response) override;
    grpc::Status StoreMethod(grpc::ServerContext* context,
                             const ms::StoreMethod_Parameters* request,
                             ms::StoreMethod_Responses* response) override;
    grpc::Status SendMethod(grpc::ServerContext* context, const ms::SendMethod_Parameters* request,
                            ms::SendMethod_Responses* response) override;

private:
    const MetadataGate& gate_;
    CommandQueue& queue_;
    const SnapshotBoard& board_;
};

} // namespace kqvdr::remote
