#include "ClientKey.h"

#include "PeerAddress.h"

#include <grpcpp/server_context.h>

namespace kqvdr::remote {

std::string clientKey(const grpc::ServerContextBase& context) {
    return "address " + peerAddress(context.peer());
}

} // namespace kqvdr::remote
